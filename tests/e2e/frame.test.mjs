// The application frame in a browser: the dashboard of an empty ledger, its layout per
// screen size, and the bar leading to the More screen.
import assert from 'node:assert/strict';
import {test} from 'node:test';

import {PHONE_480, PHONE_568, useApp} from './harness.mjs';

const DASHBOARD = 'InventoryProfitCostListViewController';
const app = useApp();

test('the address carries a token and the page drops it after the first load', async () => {
  assert.match(app.url, /^http:\/\/127\.0\.0\.1:\d+\/\?token=[0-9a-f]{32}$/);
  assert.equal(new URL(app.page.url()).search, '');
});

test('an empty ledger shows the dashboard with zero figures', async () => {
  const s = app.screen;
  assert.equal(await s.name(), DASHBOARD);
  for (const id of ['showTodayPurchaseValueText', 'showTodaySalesValueText',
    'showMonthPurchaseValueText', 'showMonthSalesValueText']) {
    assert.match(await s.text(id), /^0\.00$/, id);
  }
});

test('the layout follows the reported screen size; the bar leads to More', async () => {
  // The page reports its size before it draws; a dashboard built after that report
  // takes the layout of that size. The latest page is the one drawn for: fresh ones here.
  for (const [size, layout, name] of [[PHONE_568, DASHBOARD, '320x568'],
    [PHONE_480, DASHBOARD + '960', '320x480']]) {
    const s = await app.app.open(size);
    await s.tapActionAndWait('jumpInventoryItems2Event');
    assert.equal(await s.layout(), layout);
    await s.shot('dashboard-' + name);
    await s.go('jumpMoreItems2Event', 'MoreViewController');
    await s.shot('more-' + name);
    await s.go('jumpInventoryItems3Event', DASHBOARD);
    await s.close();
  }
});
