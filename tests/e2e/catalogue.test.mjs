// Catalogue and partners in the browser: from the More screen add a category and a product
// (the reference price keeps two decimals while typing), edit and delete the product, then
// add, rename and delete a customer and a supplier.
import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {spawn} from 'node:child_process';
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import path from 'node:path';
import readline from 'node:readline';
import {fileURLToPath} from 'node:url';
import {chromium} from 'playwright-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const binary = process.env.MK_BINARY || path.join(root, 'build/marrowkeeper');

let server;
let browser;
let page;
let dataDir;

async function startServer() {
  dataDir = mkdtempSync(path.join(tmpdir(), 'mk-e2e-catalogue-'));
  server = spawn(binary, ['--data-dir', dataDir, '--port', '0', '--no-browser', '--lang', 'en'],
                 {stdio: ['ignore', 'pipe', 'inherit']});
  const lines = readline.createInterface({input: server.stdout});
  const url = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('no address printed')), 15000);
    lines.once('line', (line) => { clearTimeout(timer); resolve(line.trim()); });
    server.once('exit', (code) => reject(new Error(`server exited with ${code}`)));
  });
  lines.on('line', () => {});  // keep draining the output
  return url;
}

// Polls until `read()` returns `expected` (or times out with the last value seen).
async function until(read, expected, what) {
  const deadline = Date.now() + 5000;
  let last;
  while (Date.now() < deadline) {
    try {
      last = await read();
      if (last === expected) return;
    } catch (_) { /* the screen is being redrawn */ }
    await new Promise((r) => setTimeout(r, 50));
  }
  assert.equal(last, expected, what);
}

const onScreen = (name) =>
  page.locator(`section.screen[data-screen="${name}"]`).waitFor({timeout: 5000});
const title = () => page.locator('h1[data-id="title"]').textContent();
const titleIs = (text) => until(title, text, 'title');
const tap = (action) => page.locator(`[data-action="${action}"]`).first().click();
const cellText = (row, field) =>
  page.locator(`[data-id="tableView"] [data-row="${row}"] [data-id="${field}"]`).textContent();
const chooseRow = (row, field) =>
  page.locator(`[data-id="tableView"] [data-row="${row}"] [data-id="${field}"]`).click();
const input = (id) => page.locator(`input[data-id="${id}"], textarea[data-id="${id}"]`);
const valueOf = (id) => input(id).inputValue();

// Types like a user: one key at a time, each one a text event the program may refuse.
async function typeInto(id, text, {replace = false} = {}) {
  await input(id).click();
  await page.keyboard.press('End');
  if (replace) {
    // Select everything and delete it: one text event for the whole range.
    await page.keyboard.press('ControlOrMeta+A');
    await page.keyboard.press('Backspace');
    await until(() => valueOf(id), '', `${id} cleared`);
  }
  // One key at a time, each after the previous one has been answered (a refused key leaves
  // the text as it was, so that wait ends by time).
  for (const ch of text) {
    const before = await valueOf(id);
    await page.keyboard.type(ch);
    const deadline = Date.now() + 400;
    while (Date.now() < deadline && (await valueOf(id)) === before) {
      await new Promise((r) => setTimeout(r, 20));
    }
  }
}

before(async () => {
  const url = await startServer();
  browser = await chromium.launch({executablePath: '/usr/bin/chromium', headless: true});
  const context = await browser.newContext({viewport: {width: 320, height: 568},
                                            deviceScaleFactor: 2});
  page = await context.newPage();
  await page.goto(url);
  await onScreen('InventoryProfitCostListViewController');
});

after(async () => {
  await browser?.close();
  server?.kill('SIGTERM');
  if (dataDir) rmSync(dataDir, {recursive: true, force: true});
});

test('category and product: add, refuse a duplicate, edit and delete', async () => {
  await tap('jumpMoreItems2Event');
  await onScreen('MoreViewController');
  await page.locator('[data-id="tableView"] [data-row="0"]').click();
  await onScreen('ProductListViewController');
  await titleIs('Products(0)');

  await tap('addProductEvent');
  await onScreen('AddProductTypeViewController');
  await titleIs('New category');
  await typeInto('productNameText', 'Tools');
  await until(() => valueOf('productNameText'), 'Tools', 'category name');
  await tap('completeEvent');
  await onScreen('ProductListViewController');
  await titleIs('Products(1)');
  await until(() => cellText(0, 'showProductsNameCell'), 'Tools', 'category row');

  // The same name again is refused with a toast and the editor stays.
  await tap('addProductEvent');
  await onScreen('AddProductTypeViewController');
  await typeInto('productNameText', 'Tools');
  await tap('completeEvent');
  await until(() => page.locator('[data-toast]').last().textContent(), 'Already exists', 'toast');
  await onScreen('AddProductTypeViewController');
  await tap('backEvent');
  await onScreen('ProductListViewController');

  await chooseRow(0, 'showProductsNameCell');
  await onScreen('ProductSubItemListViewController');
  await titleIs('Product(0)');
  await tap('addProductSubItemEvent');
  await onScreen('AddProductSubViewController');
  await typeInto('productNameText', 'Hammer');
  await typeInto('productModelText', 'H-1');
  await typeInto('referencePriceText', '1.234');
  await until(() => valueOf('referencePriceText'), '1.23', 'third decimal refused');
  await typeInto('referencePriceText', '.x');
  await until(() => valueOf('referencePriceText'), '1.23', 'second point and letter refused');
  await typeInto('productQtyText', '5');
  await typeInto('productUnitsText', 'pcs');
  await until(() => valueOf('productUnitsText'), 'pcs', 'unit');
  await tap('completeEvent');
  await onScreen('ProductSubItemListViewController');
  await titleIs('Product(1)');
  await until(() => cellText(0, 'showProductsSubNameCell'), 'Hammer', 'product row');
  await until(() => cellText(0, 'showReferencePriceCell'), '1.23 / H-1 / pcs', 'price row');

  await chooseRow(0, 'showProductsSubNameCell');
  await onScreen('AddProductSubViewController');
  await titleIs('Edit product');
  await until(() => valueOf('referencePriceText'), '1.23', 'edit mode holds the price');
  await typeInto('productNameText', 'Claw hammer', {replace: true});
  await until(() => valueOf('productNameText'), 'Claw hammer', 'renamed');
  await tap('completeEvent');
  await onScreen('ProductSubItemListViewController');
  await until(() => cellText(0, 'showProductsSubNameCell'), 'Claw hammer', 'renamed row');

  await chooseRow(0, 'showProductsSubNameCell');
  await onScreen('AddProductSubViewController');
  await tap('deleteProductCurrentItemsEvent');
  await page.locator('[data-sheet-index="0"]').click();
  await onScreen('ProductSubItemListViewController');
  await titleIs('Product(0)');

  await tap('backEvent');
  await onScreen('ProductListViewController');
  await tap('backEvent');
  await onScreen('MoreViewController');
});

for (const [kind, open, list, plural, addTitle, editTitle] of [
  ['customer', 'jumpCustomersEvent', 'CustomersSettingsVC', 'Customers', 'Add customer',
   'Edit customer'],
  ['supplier', 'jumpSupplierEvent', 'SupplierSettingsVC', 'Suppliers', 'Add supplier',
   'Edit supplier'],
]) {
  test(`${kind}: add, rename and delete`, async () => {
    await onScreen('MoreViewController');
    await tap(open);
    await onScreen(list);
    await titleIs(`${plural}(1)`);

    await tap('addCompanyEvent');
    await onScreen('AddSupplierCustomersVC');
    await titleIs(addTitle);
    await typeInto('showNameText', 'Ana, "the" <b>best</b>');
    await typeInto('showTelText', '+34 600');
    await until(() => valueOf('showTelText'), '+34 600', 'telephone');
    await tap('completeOrEditEvent');
    await onScreen(list);
    await titleIs(`${plural}(2)`);
    await until(() => cellText(0, 'showNameCell'), 'Ana, "the" <b>best</b>', 'shown as text');

    await chooseRow(0, 'showNameCell');
    await onScreen('AddSupplierCustomersVC');
    await titleIs(editTitle);
    await typeInto('showNameText', 'Ana Ruiz', {replace: true});
    await until(() => valueOf('showNameText'), 'Ana Ruiz', 'renamed');
    await tap('completeOrEditEvent');
    await onScreen(list);
    await until(() => cellText(0, 'showNameCell'), 'Ana Ruiz', 'renamed row');

    await chooseRow(0, 'showNameCell');
    await onScreen('AddSupplierCustomersVC');
    await tap('deleteSupplierCustomersItemsEvent');
    await page.locator('[data-sheet-index="0"]').click();
    await onScreen(list);
    await titleIs(`${plural}(1)`);

    await tap('backEvent');
    await onScreen('MoreViewController');
  });
}
