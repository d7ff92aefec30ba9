// Navigation, forms and accessibility at 320×568: the first-run hint, Enter completing the
// editors (an empty name refused and marked), the browser's back button stepping back
// through the stack and staying on the dashboard, and the road of one sale with a new
// customer made from the order editor, ending in the journal's and the dashboard's figures,
// with no serious or critical axe-core finding on any of its screens. Each of those screens
// is photographed at 320 and 1280 wide.
import AxeBuilder from '@axe-core/playwright';
import assert from 'node:assert/strict';
import {test} from 'node:test';

import {useApp} from './harness.mjs';

const app = useApp();

// axe's serious and critical findings, and controls that keys cannot reach, must be none.
async function audit(s, name) {
  await s.page.waitForTimeout(300);  // transitions and toasts settle
  const {violations} = await new AxeBuilder({page: s.page}).analyze();
  const found = violations.filter((v) => ['serious', 'critical'].includes(v.impact))
    .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  assert.deepEqual(found, [], name);
  const unreachable = await s.page.$$eval('[data-action]', (nodes) => nodes
    .filter((n) => n.checkVisibility() && n.tabIndex < 0).map((n) => n.dataset.action));
  assert.deepEqual(unreachable, [], `${name}: controls keys cannot reach`);
  await s.shots(name);
}

const focused = (s) => s.page.evaluate(() => document.activeElement.getAttribute('data-id'));

test('Enter completes editors and the back button steps back to the dashboard', async () => {
  const s = app.screen;
  await s.untilText('#app [data-id="showFirstRunHintLbl"]', 'No products yet: start under More → Products');
  await audit(s, 'dashboard-first-run');
  await s.go('showProductsEvent', 'ProductListViewController', 'Products(0)');
  await s.go('addProductEvent', 'AddProductTypeViewController');
  await s.until(() => focused(s), 'productNameText', 'the empty field has the focus');
  await s.page.keyboard.press('Enter');
  await s.page.waitForSelector('#app .form-row.refused, #app .w-field.refused');
  await s.page.keyboard.type('Tools');
  await s.page.keyboard.press('Enter');
  await s.at('ProductListViewController', 'Products(1)');

  await s.tapRow('tableView', 0, 'showProductsNameCell');
  await s.go('addProductSubItemEvent', 'AddProductSubViewController');
  for (const [id, text] of [['productNameText', 'Hammer'], ['referencePriceText', '2.5'],
    ['productUnitsText', 'pcs']]) {
    await s.fill(id, text);
  }
  await s.page.keyboard.press('Enter');
  await s.at('ProductSubItemListViewController', 'Product(1)');
  await s.tapRow('tableView', 0, 'showProductsSubNameCell');
  await s.at('AddProductSubViewController', 'Edit product');

  for (const screen of ['ProductSubItemListViewController', 'ProductListViewController',
    'InventoryProfitCostListViewController', 'InventoryProfitCostListViewController']) {
    await s.page.goBack();
    await s.at(screen);
  }
  assert.equal(await s.page.isVisible('#app [data-id="showFirstRunHintLbl"]'), false);
});

test('a new customer from the order editor becomes its partner; the road of a sale passes axe',
  async () => {
    const s = app.screen;
    await s.go('jumpOutItems2Event', 'OUTItemsViewController');
    await s.untilText('[data-toast]', 'No data');
    await audit(s, 'sales-journal-empty');
    await s.go('addNewSalesOrPurchase', 'CreateOrEditSalesAccountVC');
    assert.equal(await s.page.locator('[data-toast]').count(), 0, 'the toast ended with its screen');
    await audit(s, 'order-editor-new');
    await s.fill('orderNameText', 'For Ana');
    await s.go('tapJumpProductNameSelectEvent', 'SelectProductsBackViewController');
    await s.tapRow('productTypeTableView', 0);
    await s.untilCell('productSubTableView', 0, 'showProductNameSubCell', 'Hammer');
    await audit(s, 'picker');
    await s.tapRow('productSubTableView', 0);
    await s.at('CreateOrEditSalesAccountVC');
    await s.tapRow('tableView', 0);
    await s.at('EditOrderItemsVC');
    await audit(s, 'line-editor');
    await s.fill('quantityText', '2');
    await s.page.keyboard.press('Enter');
    await s.at('CreateOrEditSalesAccountVC');

    await s.tapAction('topShowSupplierOrCustomerListEvent');
    const newRow = '[data-alert] [data-row]:last-child';
    assert.equal(await s.page.getAttribute(newRow, 'data-action'), 'addPartnerEvent');
    await audit(s, 'partner-list');
    await s.page.click(newRow);
    await s.at('AddSupplierCustomersVC', 'Add customer');
    await audit(s, 'partner-editor');
    const ana = 'Ana, "the" <b>best</b>';  // drawn as the text it is
    await s.fill('showNameText', ana);
    await s.page.keyboard.press('Enter');
    await s.at('CreateOrEditSalesAccountVC');
    await s.until(() => s.text('showSupplierOrCustomerLbl'), ana, 'the new partner');
    await s.untilCell('tableView', 0, 'showProductNameCell', 'Hammer');
    await s.go('tapJumpNoteSelectEvent', 'NoteSelectListView');
    await audit(s, 'notes');
    await s.page.goBack();
    await s.at('CreateOrEditSalesAccountVC');
    await audit(s, 'order-editor-filled');
    await s.go('saveToDoneEvent', 'OUTItemsViewController');
    await s.untilCell('tableView', 0, 'showOrderSupAndCusValueText', ana);
    await s.until(() => s.text('showOrderTotalAmountValueText'), '5.00', 'the month total');
    await audit(s, 'sales-journal');
    await s.go('jumpInventoryItems1Event', 'InventoryProfitCostListViewController');
    await s.until(() => s.text('showTodaySalesValueText'), '5.00', 'today\'s sales');
    await audit(s, 'dashboard');
  });
