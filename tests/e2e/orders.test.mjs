// The road of one sale and of one purchase through the browser: journal, new order, name,
// partner from the pop-up list, a product made through the picker's add buttons, its line
// edited, a date from the date panel, a note, save; then the journal row, the month totals
// and the dashboard's figures.
import {test} from 'node:test';

import {useApp} from './harness.mjs';

const app = useApp();

function today() {
  const d = new Date();
  const p = (n) => String(n).padStart(2, '0');
  const [y, m, day] = [d.getFullYear(), p(d.getMonth() + 1), p(d.getDate())];
  return {ymd: `${y}-${m}-${day}`, label: `${y}/${m}/${day}`};
}

// From a journal: one order with one line of `qty` x `price`, saved.
async function recordOrder(s, {name, product, qty, price, note, makeProduct}) {
  const label = (id, expected) => s.until(() => s.text(id), expected, id);
  await s.go('addNewSalesOrPurchase', 'CreateOrEditSalesAccountVC');
  await label('showTotalValueLbl', '0.00');
  await s.fill('orderNameText', name);
  await s.tapAction('topShowSupplierOrCustomerListEvent');
  await s.page.click('[data-alert] [data-row="0"]');
  await s.go('tapJumpProductNameSelectEvent', 'SelectProductsBackViewController');
  if (makeProduct) {
    await s.go('addProductTypeEvent', 'AddProductTypeViewController');
    await s.fill('productNameText', 'Hardware');
    await s.go('completeEvent', 'SelectProductsBackViewController');
    await s.page.click(s.cellSelector('productTypeTableView', 0) +
      ' [data-action="buttonPressedAddProductSub"]');
    await s.waitFor('AddProductSubViewController');
    for (const [id, text] of [['productNameText', product], ['productModelText', 'H1'],
      ['referencePriceText', '4'], ['productQtyText', '0'], ['productUnitsText', 'pcs']]) {
      await s.fill(id, text);
    }
    await s.go('completeEvent', 'SelectProductsBackViewController');
  }
  await s.tapRow('productTypeTableView', 0);
  await s.untilCell('productSubTableView', 0, 'showProductNameSubCell', product);
  await s.tapRow('productSubTableView', 0);
  await s.at('CreateOrEditSalesAccountVC');

  await s.tapRow('tableView', 0);
  await s.at('EditOrderItemsVC');
  await s.fill('quantityText', qty);
  await s.fill('priceText', price);
  await s.go('completeEvent', 'CreateOrEditSalesAccountVC');
  const total = (Number(qty) * Number(price)).toFixed(2);
  await s.untilCell('tableView', 0, 'showProductAmountCell', total);
  await label('showTotalValueLbl', total);

  await s.tapAction('selectSalesDatePanelEvent');
  const picker = s.input('datePicker');
  await picker.fill(today().ymd);
  await picker.dispatchEvent('change');
  await label('showDateLbl', today().label);
  await s.tapAction('hideDatePanelEvent');

  await s.go('tapJumpNoteSelectEvent', 'NoteSelectListView');
  await s.fill('noteText', note);
  await s.go('inputTextCompleteEvent', 'CreateOrEditSalesAccountVC');
  await label('showNotesLbl', note);
  await s.shot(`order-editor-${name.replace(/\W+/g, '-').toLowerCase()}`);
  await s.tapAction('saveToDoneEvent');
}

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
