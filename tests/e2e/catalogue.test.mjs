// Catalogue and partners in the browser: from the More screen add a category and a product
// (the reference price keeps two decimals while typing), edit and delete the product, then
// add and delete a customer and a supplier (their edits are the screens', tested without a
// browser).
import {test} from 'node:test';

import {useApp} from './harness.mjs';

const app = useApp();

test('category and product: add, refuse a duplicate, edit and delete', async () => {
  const s = app.screen;
  const price = (expected, what) => s.until(() => s.value('referencePriceText'), expected, what);
  await s.go('jumpMoreItems2Event', 'MoreViewController');
  await s.tapRow('tableView', 0);
  await s.at('ProductListViewController', 'Products(0)');
  await s.go('addProductEvent', 'AddProductTypeViewController', 'New category');
  await s.fill('productNameText', 'Tools');
  await s.go('completeEvent', 'ProductListViewController', 'Products(1)');
  await s.untilCell('tableView', 0, 'showProductsNameCell', 'Tools');

  // The same name again is refused with a toast and the editor stays.
  await s.go('addProductEvent', 'AddProductTypeViewController');
  await s.fill('productNameText', 'Tools');
  await s.tapAction('completeEvent');
  await s.untilText('[data-toast]', 'Already exists');
  await s.at('AddProductTypeViewController');
  await s.go('backEvent', 'ProductListViewController');

  await s.tapRow('tableView', 0, 'showProductsNameCell');
  await s.at('ProductSubItemListViewController', 'Product(0)');
  await s.go('addProductSubItemEvent', 'AddProductSubViewController');
  await s.fill('productNameText', 'Hammer');
  await s.fill('productModelText', 'H-1');
  await s.typeKeys('referencePriceText', '1.234');
  await price('1.23', 'third decimal refused');
  await s.typeKeys('referencePriceText', '.x');
  await price('1.23', 'second point and letter refused');
  await s.fill('productQtyText', '5');
  await s.fill('productUnitsText', 'pcs');
  await s.go('completeEvent', 'ProductSubItemListViewController', 'Product(1)');
  await s.untilCell('tableView', 0, 'showProductsSubNameCell', 'Hammer');
  await s.untilCell('tableView', 0, 'showReferencePriceCell', '1.23 / H-1 / pcs');

  await s.tapRow('tableView', 0, 'showProductsSubNameCell');
  await s.at('AddProductSubViewController', 'Edit product');
  await price('1.23', 'edit mode holds the price');
  await s.fill('productNameText', 'Claw hammer');
  await s.go('completeEvent', 'ProductSubItemListViewController');
  await s.untilCell('tableView', 0, 'showProductsSubNameCell', 'Claw hammer');

  await s.tapRow('tableView', 0, 'showProductsSubNameCell');
  await s.go('deleteProductCurrentItemsEvent', 'AddProductSubViewController');
  await s.tapSheet(0);
  await s.at('ProductSubItemListViewController', 'Product(0)');
  await s.go('backEvent', 'ProductListViewController');
  await s.go('backEvent', 'MoreViewController');
});

for (const [kind, open, list, plural] of [
  ['customer', 'jumpCustomersEvent', 'CustomersSettingsVC', 'Customers'],
  ['supplier', 'jumpSupplierEvent', 'SupplierSettingsVC', 'Suppliers'],
]) {
  test(`${kind}: add and delete`, async () => {
    const s = app.screen;
    await s.at('MoreViewController');
    await s.go(open, list, `${plural}(1)`);
    await s.go('addCompanyEvent', 'AddSupplierCustomersVC', `Add ${kind}`);
    await s.fill('showNameText', 'Ana, "the" <b>best</b>');
    await s.fill('showTelText', '+34 600');
    await s.go('completeOrEditEvent', list, `${plural}(2)`);
    await s.untilCell('tableView', 0, 'showNameCell', 'Ana, "the" <b>best</b>');

    await s.tapRow('tableView', 0, 'showNameCell');
    await s.at('AddSupplierCustomersVC', `Edit ${kind}`);
    await s.go('deleteSupplierCustomersItemsEvent', 'AddSupplierCustomersVC');
    await s.tapSheet(0);
    await s.at(list, `${plural}(1)`);
    await s.go('backEvent', 'MoreViewController');
  });
}
