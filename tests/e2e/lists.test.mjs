// A shop's catalogue on a phone (50 categories of 40 products, 40 orders of today, written by
// build/mk_ledger): the picker's lists side by side and its search across categories, a
// journal search that keeps the month's totals, the stock overview's titles over their
// columns. Every screen with a search is shot at 320 and 1280 points wide.
import assert from 'node:assert/strict';
import {execFile} from 'node:child_process';
import path from 'node:path';
import {test} from 'node:test';
import {promisify} from 'node:util';

import {binary, useApp} from './harness.mjs';

const app = useApp({prepare: (dataDir) => promisify(execFile)(
  path.join(path.dirname(binary), 'mk_ledger'), [dataDir, '--categories', '50', '--products',
    '2000', '--partners', '20', '--orders', '40', '--days', '1'])});
const rows = (table) => app.page.locator(`#app [data-id="${table}"] > [data-row]`);
const DASHBOARD = 'InventoryProfitCostListViewController';

// One text event for the whole text, as a paste sends it.
async function search(text) {
  const s = app.screen;
  await s.input('searchText').click();
  await s.page.keyboard.insertText(text);
  await s.until(() => s.value('searchText'), text, 'search text');
}

test('the picker shows the last category beside it and a search picks across categories',
  async () => {
    const s = app.screen;
    await s.go('jumpOutItems2Event', 'OUTItemsViewController');
    await s.go('addNewSalesOrPurchase', 'CreateOrEditSalesAccountVC');
    await s.go('tapJumpProductNameSelectEvent', 'SelectProductsBackViewController');
    assert.equal(await rows('productTypeTableView').count(), 50);
    await rows('productTypeTableView').last().click({position: {x: 8, y: 8}});
    await s.untilCell('productSubTableView', 0, 'showProductNameSubCell', 'Product 1951');
    // Its products stand beside it, in view, and the page itself has not moved.
    const chosen = await rows('productTypeTableView').last().boundingBox();
    const first = await rows('productSubTableView').first().boundingBox();
    assert.ok(first.x > chosen.x + chosen.width - 1 && first.y + first.height <= 568);
    assert.equal(await s.page.evaluate(() => window.scrollY), 0);
    assert.equal(await rows('productTypeTableView').last().getAttribute('aria-current'), 'true');
    await app.screen.shots('picker');

    await search('product 1999');
    await app.screen.shots('picker-search');
    await s.until(() => rows('productSubTableView').count(), 1, 'one result');
    await s.untilCell('productSubTableView', 0, 'showProductNameFatCell', 'Category 49');
    await s.tapRow('productSubTableView', 0);
    await s.at('CreateOrEditSalesAccountVC');
    await s.untilCell('tableView', 0, 'showProductNameCell', 'Product 1999');
    await s.go('backEvent', 'OUTItemsViewController');
  });

test('a journal search shows some of the month\'s orders and keeps its totals', async () => {
  const s = app.screen;
  const totals = () => Promise.all(['showProductQtyValueText', 'showOrderItemsValueText',
    'showOrderTotalAmountValueText'].map((id) => s.text(id)));
  const month = await totals();
  const all = await rows('tableView').count();
  assert.ok(all > 10, `${all} sales`);
  await search('customer 1');
  await app.screen.shots('sales-journal-search');
  const partners = await s.page.locator('#app [data-id="showOrderSupAndCusValueText"]')
    .allTextContents();
  assert.ok(partners.length < all && partners.every((p) => /^Customer 1\d*$/.test(p)), partners);
  assert.deepEqual(await totals(), month);
  await s.page.click('#app [data-clear="searchText"]');
  await s.until(() => rows('tableView').count(), all, 'every row again');
  await s.tapAction('forwardEvent');
  await s.untilText('#app [data-id="emptyText"]', 'No orders in this month');
  await s.go('jumpInventoryItems1Event', DASHBOARD);
});

test('the stock overview keeps its titles over their columns', async () => {
  const s = app.screen;
  await s.go('showInventoryStatisticsEvent', 'ALLInventoryViewController');
  await s.untilCell('tableView', 0, 'itemsNameLbl', 'Product 2000');
  await s.page.waitForFunction(() => document.getAnimations().length === 0);  // slid in
  for (const [title, column] of [['showPurchaseLbl', 'itemsPurchaseCountsLbl'],
    ['showInventoryLbl', 'itemsInventoryCountsLbl']]) {
    const t = await s.page.locator(`#app [data-id="${title}"]`).boundingBox();
    const c = await s.page.locator(s.cellSelector('tableView', 0, column)).boundingBox();
    assert.ok(Math.abs(t.x + t.width - (c.x + c.width)) < 1 && t.y < c.y, title);
  }
  await search('PRODUCT 199');
  await app.screen.shots('stock-overview-search');
  await s.go('backEvent', DASHBOARD);
});

test('the week view and the catalogue\'s lists with a search', async () => {
  const s = app.screen;
  await s.go('showOrderStatisticsEvent', 'HomeStatisticsViewController');
  await s.page.click('#app [data-id="segmentView"] [data-index="1"]');
  await s.page.waitForSelector('#app [data-id="WeekSpanLbl"]:not([hidden])');
  await app.screen.shots('order-statistics-week');  // the week's first and last day
  await s.go('closeEvent', DASHBOARD);
  await s.go('jumpMoreItems2Event', 'MoreViewController');
  await s.tapRow('tableView', 0);
  await s.at('ProductListViewController');
  await s.tapRow('tableView', 0, 'showProductsNameCell');
  await s.at('ProductSubItemListViewController', 'Product(40)');
  await search('product 1950');
  await app.screen.shots('products-search');
  await s.go('backEvent', 'ProductListViewController');
  await s.go('backEvent', 'MoreViewController');
  await s.go('jumpCustomersEvent', 'CustomersSettingsVC');
  await search('zz');
  await app.screen.shots('customers-search');
});
