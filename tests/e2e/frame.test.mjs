// The application frame in a browser: the dashboard of an empty ledger and its layout per
// screen size (the other suites reach every main screen through the bar).
import assert from 'node:assert/strict';
import {test} from 'node:test';

import {PHONE_480, PHONE_568, useApp} from './harness.mjs';

const DASHBOARD = 'InventoryProfitCostListViewController';
const app = useApp();

test('the address carries a token and the page drops it after the first load', async () => {
  assert.match(app.url, /^http:\/\/127\.0\.0\.1:\d+\/\?token=[0-9a-f]{32}$/);
  assert.equal(new URL(app.page.url()).search, '');
});

test('an empty ledger shows zeros on a dashboard laid out for the screen size', async () => {
  // The page reports its size before it draws; a dashboard built after that report
  // takes the layout of that size. The latest page is the one drawn for: fresh ones here.
  for (const [size, layout] of [[PHONE_568, DASHBOARD], [PHONE_480, DASHBOARD + '960']]) {
    const s = await app.app.open(size);
    await s.tapActionAndWait('jumpInventoryItems2Event');
    assert.deepEqual([await s.name(), await s.layout()], [DASHBOARD, layout]);
    for (const id of ['showTodayPurchaseValueText', 'showTodaySalesValueText',
      'showMonthPurchaseValueText', 'showMonthSalesValueText', 'showMyInventoryQtyValueText']) {
      assert.equal(await s.text(id), '0.00', id);
    }
    await s.shot(`dashboard-${size.width}x${size.height}`);
    // The bar leads to the More screen.
    await s.go('jumpMoreItems2Event', 'MoreViewController');
    await s.shot(`more-${size.width}x${size.height}`);
    await s.close();
  }
});
