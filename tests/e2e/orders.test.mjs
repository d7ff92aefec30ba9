// The road of one sale and of one purchase through the browser: journal, new order, name,
// partner from the pop-up list, a product made through the picker's add buttons, its line
// edited, a date from the date panel, a note, save; then the journal row, the month totals
// and the dashboard's figures. Then a backup downloaded, an order deleted, and the download
// restored: the order is back.
import assert from 'node:assert/strict';
import {test} from 'node:test';

import {recordOrder, useApp} from './harness.mjs';

const app = useApp();

// Waits until each label or cell (id, or [table, row, field]) reads its value.
async function expectAll(s, pairs) {
  for (const [where, expected] of pairs) {
    if (Array.isArray(where)) await s.untilCell(...where, expected);
    else await s.until(() => s.text(where), expected, where);
  }
}

test('a sale from the sales journal shows in the journal and on the dashboard', async () => {
  const s = app.screen;
  await s.go('jumpOutItems2Event', 'OUTItemsViewController');
  await recordOrder(s, {name: 'Road sale', product: 'Hammer', qty: '3', price: '2.5',
    note: 'Paid cash', makeProduct: true});
  await s.waitFor('OUTItemsViewController');
  await expectAll(s, [
    [['tableView', 0, 'showOrderNameValueText'], 'Road sale'],
    [['tableView', 0, 'showOrderSupAndCusValueText'], 'Default customer'],
    [['tableView', 0, 'showOrderAmountValueText'], '7.50'],
    [['tableView', 0, 'showOrderEntryValueText'], '1'],
    ['showProductQtyValueText', '3.00'],
    ['showOrderItemsValueText', '1.00'],
    ['showOrderTotalAmountValueText', '7.50'],
  ]);
  await s.shot('sales-journal-320x568');
  await s.go('jumpInventoryItems1Event', 'InventoryProfitCostListViewController');
  await expectAll(s, [['showTodaySalesValueText', '7.50'], ['showMonthSalesValueText', '7.50'],
    ['showMyInventoryQtyValueText', '-3.00']]);
});

test('a purchase from the purchase journal shows in the journal and on the dashboard', async () => {
  const s = app.screen;
  await s.go('jumpInItems2Event', 'INItemsViewController');
  await recordOrder(s, {name: 'Restock', product: 'Hammer', qty: '10', price: '1.5',
    note: 'Invoice 7', makeProduct: false});
  await s.waitFor('INItemsViewController');
  await expectAll(s, [
    [['tableView', 0, 'showOrderNameValueText'], 'Restock'],
    [['tableView', 0, 'showOrderSupAndCusLbl'], 'Supplier'],
    [['tableView', 0, 'showOrderSupAndCusValueText'], 'Default supplier'],
    [['tableView', 0, 'showOrderAmountValueText'], '15.00'],
    ['showOrderTotalAmountValueText', '15.00'],
    ['showProductQtyValueText', '10.00'],
  ]);
  await s.go('jumpInventoryItems0Event', 'InventoryProfitCostListViewController');
  await expectAll(s, [['showTodayPurchaseValueText', '15.00'],
    ['showMonthPurchaseValueText', '15.00'], ['showTodaySalesValueText', '7.50'],
    ['showMyInventoryQtyValueText', '7.00']]);
});

test('back up, delete an order, restore, see the order again', async () => {
  const s = app.screen;
  await s.go('jumpMoreItems2Event', 'MoreViewController');
  await s.tapRow('tableView', 3);
  await s.at('BackupViewController', 'Backups');
  await s.tapAction('backupNowEvent');
  await s.untilText('[data-toast]', 'Backup made');
  await s.untilCell('backupTableView', 0, 'showBackupOrdersCell', '2 orders');
  await s.tapRow('backupTableView', 0);
  const download = s.page.waitForEvent('download');
  await s.tapSheet(1);
  assert.match((await download).suggestedFilename(), /^voice-\d{8}-\d{6}-manual\.sqlite$/);

  await s.go('backEvent', 'MoreViewController');
  await s.go('jumpInItems3Event', 'INItemsViewController');
  await s.tapRow('tableView', 0);
  await s.go('deleteProductCurrentItemsEvent', 'CreateOrEditSalesAccountVC');
  await s.tapSheet(0);
  await s.go('jumpInventoryItems0Event', 'InventoryProfitCostListViewController');
  await expectAll(s, [['showTodayPurchaseValueText', '0.00']]);

  await s.go('jumpMoreItems2Event', 'MoreViewController');
  await s.tapRow('tableView', 3);
  await s.at('BackupViewController');
  await s.input('restoreFile').setInputFiles(await (await download).path());
  await s.at('InventoryProfitCostListViewController');
  await s.untilText('[data-toast]', 'Ledger restored');
  await expectAll(s, [['showTodayPurchaseValueText', '15.00'], ['showTodaySalesValueText', '7.50']]);
  await s.go('jumpInItems2Event', 'INItemsViewController');
  await expectAll(s, [[['tableView', 0, 'showOrderNameValueText'], 'Restock']]);
});
