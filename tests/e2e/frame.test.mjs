// The application frame in a browser: the dashboard of an empty ledger, its layout per
// screen size, and the bar leading to the More screen.
import assert from 'node:assert/strict';
import {after, before, describe, test} from 'node:test';

import {App, PHONE_480, PHONE_568} from './harness.mjs';

const DASHBOARD = 'InventoryProfitCostListViewController';

describe('application frame', () => {
  const app = new App();
  before(async () => {
    await app.start();
  });
  after(async () => {
    await app.stop();
  });

  test('the address carries a token and the page drops it after the first load', async () => {
    assert.match(app.url, /^http:\/\/127\.0\.0\.1:\d+\/\?token=[0-9a-f]{32}$/);
    const screen = await app.open(PHONE_568);
    assert.equal(new URL(screen.page.url()).search, '');
    await screen.close();
  });

  test('an empty ledger shows the dashboard with zero figures', async () => {
    const screen = await app.open(PHONE_568);
    assert.equal(await screen.name(), DASHBOARD);
    for (const id of ['showTodayPurchaseValueText', 'showTodaySalesValueText',
      'showMonthPurchaseValueText', 'showMonthSalesValueText']) {
      assert.match(await screen.text(id), /^0\.00$/, id);
    }
    await screen.shot('dashboard-320x568');
    await screen.close();
  });

  test('the layout follows the reported screen size', async () => {
    // The page reports its size before it draws; a dashboard built after that report
    // takes the layout of that size.
    const tall = await app.open(PHONE_568);
    await tall.tapActionAndWait('jumpInventoryItems2Event');
    assert.equal(await tall.name(), DASHBOARD);
    assert.equal(await tall.layout(), DASHBOARD);
    await tall.close();

    const short = await app.open(PHONE_480);
    await short.tapActionAndWait('jumpInventoryItems2Event');
    assert.equal(await short.name(), DASHBOARD);
    assert.equal(await short.layout(), DASHBOARD + '960');
    await short.shot('dashboard-320x480');
    await short.close();
  });

  test('the bar leads to the More screen', async () => {
    const screen = await app.open(PHONE_568);
    await screen.tapAction('jumpMoreItems2Event');
    await screen.waitFor('MoreViewController');
    assert.equal(await screen.name(), 'MoreViewController');
    await screen.shot('more-320x568');
    await screen.close();
  });
});
