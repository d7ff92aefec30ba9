// The application frame in a browser: the address's token and the layout per screen size
// (the empty dashboard and the bar are drawn in navigation.test.mjs).
import assert from 'node:assert/strict';
import {test} from 'node:test';

import {PHONE_480, useApp} from './harness.mjs';

const DASHBOARD = 'InventoryProfitCostListViewController';
const app = useApp();

test('the address carries a token and the page drops it after the first load', async () => {
  assert.match(app.url, /^http:\/\/127\.0\.0\.1:\d+\/\?token=[0-9a-f]{32}$/);
  assert.equal(new URL(app.page.url()).search, '');
});

test('the layout follows the reported screen size', async () => {
  // The page reports its size before it draws; a dashboard built after that report
  // takes the layout of that size. The latest page is the one drawn for: a fresh one here.
  const short = await app.app.open(PHONE_480);
  await short.tapActionAndWait('jumpInventoryItems2Event');
  assert.equal(await short.layout(), DASHBOARD + '960');
  await short.shot('dashboard-320x480');
  await short.close();
});
