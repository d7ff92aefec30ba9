// The road of one sale and of one purchase through the browser: journal, new order, name,
// partner from the pop-up list, a product made through the picker's add buttons, its line
// edited, a date from the date panel, a note, save; then the journal row, the month totals
// and the dashboard's figures.
import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {spawn} from 'node:child_process';
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {chromium} from 'playwright-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');
let server, browser, page, dataDir;

before(async () => {
  dataDir = mkdtempSync(path.join(tmpdir(), 'mk-e2e-orders-'));
  server = spawn(path.join(root, 'build', 'marrowkeeper'),
    ['--data-dir', dataDir, '--port', '0', '--no-browser', '--lang', 'en'],
    {stdio: ['ignore', 'pipe', 'inherit']});
  const url = await new Promise((resolve, reject) => {
    let out = '';
    server.stdout.on('data', (d) => {
      out += d;
      const line = out.split('\n').find((l) => l.startsWith('http'));
      if (line) resolve(line.trim());
    });
    server.on('exit', (code) => reject(new Error('server exited ' + code)));
  });
  browser = await chromium.launch({executablePath: '/usr/bin/chromium'});
  page = await browser.newPage({viewport: {width: 320, height: 568}, deviceScaleFactor: 2});
  await page.goto(url);
  await onScreen('InventoryProfitCostListViewController');
});

after(async () => {
  await browser?.close();
  server?.kill('SIGTERM');
  if (dataDir) rmSync(dataDir, {recursive: true, force: true});
});

const screen = () => page.locator('section[data-screen]');
async function onScreen(name) {
  await page.waitForSelector(`section[data-screen="${name}"]`);
}
async function act(action) {
  await screen().locator(`[data-action="${action}"]`).first().click();
}
async function row(table, i) {
  await screen().locator(`[data-id="${table}"] [data-row="${i}"]`).first().click({position: {x: 8, y: 8}});
}
async function type(id, text) {
  const input = screen().locator(`[data-id="${id}"]`);
  await input.click();
  await page.keyboard.press('Control+A');
  await page.keyboard.press('Backspace');
  await input.pressSequentially(text);
  await page.waitForFunction(([i, t]) => document.querySelector(`[data-id="${i}"]`)?.value === t,
    [id, text]);
}
async function textOf(selector, expected) {
  await page.waitForFunction(([s, t]) => document.querySelector(s)?.textContent.trim() === t,
    [selector, expected], {timeout: 5000}).catch(() => {});
  return (await screen().locator(selector).first().textContent()).trim();
}
const label = (id, expected) => textOf(`section [data-id="${id}"]`, expected);
const cell = (table, i, name, expected) =>
  textOf(`section [data-id="${table}"] [data-row="${i}"] [data-id="${name}"]`, expected);

function todayParts() {
  const d = new Date();
  const p = (n) => String(n).padStart(2, '0');
  return {ymd: `${d.getFullYear()}-${p(d.getMonth() + 1)}-${p(d.getDate())}`,
    label: `${d.getFullYear()}/${p(d.getMonth() + 1)}/${p(d.getDate())}`};
}

// From a journal: one order with one line of `qty` x `price`, saved.
async function recordOrder({name, product, qty, price, note, makeProduct}) {
  await act('addNewSalesOrPurchase');
  await onScreen('CreateOrEditSalesAccountVC');
  assert.equal(await label('showTotalValueLbl', '0.00'), '0.00');
  await type('orderNameText', name);
  await act('topShowSupplierOrCustomerListEvent');
  await page.locator('[data-alert] [data-row="0"]').click();
  await act('tapJumpProductNameSelectEvent');
  await onScreen('SelectProductsBackViewController');
  if (makeProduct) {
    await act('addProductTypeEvent');
    await onScreen('AddProductTypeViewController');
    await type('productNameText', 'Hardware');
    await act('completeEvent');
    await onScreen('SelectProductsBackViewController');
    await screen().locator('[data-id="productTypeTableView"] [data-row="0"] [data-action="buttonPressedAddProductSub"]').click();
    await onScreen('AddProductSubViewController');
    await type('productNameText', product);
    await type('productModelText', 'H1');
    await type('referencePriceText', '4');
    await type('productQtyText', '0');
    await type('productUnitsText', 'pcs');
    await act('completeEvent');
    await onScreen('SelectProductsBackViewController');
  }
  await row('productTypeTableView', 0);
  assert.equal(await cell('productSubTableView', 0, 'showProductNameSubCell', product), product);
  await row('productSubTableView', 0);
  await onScreen('CreateOrEditSalesAccountVC');

  await row('tableView', 0);
  await onScreen('EditOrderItemsVC');
  await type('quantityText', qty);
  await type('priceText', price);
  await act('completeEvent');
  await onScreen('CreateOrEditSalesAccountVC');
  const total = (Number(qty) * Number(price)).toFixed(2);
  assert.equal(await cell('tableView', 0, 'showProductAmountCell', total), total);
  assert.equal(await label('showTotalValueLbl', total), total);

  const today = todayParts();
  await act('selectSalesDatePanelEvent');
  const picker = screen().locator('[data-id="datePicker"]');
  await picker.fill(today.ymd);
  await picker.dispatchEvent('change');
  assert.equal(await label('showDateLbl', today.label), today.label);
  await act('hideDatePanelEvent');

  await act('tapJumpNoteSelectEvent');
  await onScreen('NoteSelectListView');
  await type('noteText', note);
  await act('inputTextCompleteEvent');
  await onScreen('CreateOrEditSalesAccountVC');
  assert.equal(await label('showNotesLbl', note), note);
  await act('saveToDoneEvent');
  return total;
}

test('a sale from the sales journal shows in the journal and on the dashboard', async () => {
  await act('jumpOutItems2Event');
  await onScreen('OUTItemsViewController');
  const total = await recordOrder({name: 'Road sale', product: 'Hammer', qty: '3', price: '2.5',
    note: 'Paid cash', makeProduct: true});
  assert.equal(total, '7.50');
  await onScreen('OUTItemsViewController');
  assert.equal(await cell('tableView', 0, 'showOrderNameValueText', 'Road sale'), 'Road sale');
  assert.equal(await cell('tableView', 0, 'showOrderSupAndCusValueText', 'Default customer'),
    'Default customer');
  assert.equal(await cell('tableView', 0, 'showOrderAmountValueText', '7.50'), '7.50');
  assert.equal(await cell('tableView', 0, 'showOrderEntryValueText', '1'), '1');
  assert.equal(await label('showProductQtyValueText', '3.00'), '3.00');
  assert.equal(await label('showOrderItemsValueText', '1.00'), '1.00');
  assert.equal(await label('showOrderTotalAmountValueText', '7.50'), '7.50');

  await act('jumpInventoryItems1Event');
  await onScreen('InventoryProfitCostListViewController');
  assert.equal(await label('showTodaySalesValueText', '7.50'), '7.50');
  assert.equal(await label('showMonthSalesValueText', '7.50'), '7.50');
  assert.equal(await label('showMyInventoryQtyValueText', '-3.00'), '-3.00');
});

test('a purchase from the purchase journal shows in the journal and on the dashboard', async () => {
  await act('jumpInItems2Event');
  await onScreen('INItemsViewController');
  const total = await recordOrder({name: 'Restock', product: 'Hammer', qty: '10', price: '1.5',
    note: 'Invoice 7', makeProduct: false});
  assert.equal(total, '15.00');
  await onScreen('INItemsViewController');
  assert.equal(await cell('tableView', 0, 'showOrderNameValueText', 'Restock'), 'Restock');
  assert.equal(await cell('tableView', 0, 'showOrderSupAndCusLbl', 'Supplier'), 'Supplier');
  assert.equal(await cell('tableView', 0, 'showOrderSupAndCusValueText', 'Default supplier'),
    'Default supplier');
  assert.equal(await label('showOrderTotalAmountValueText', '15.00'), '15.00');
  assert.equal(await label('showProductQtyValueText', '10.00'), '10.00');

  await act('jumpInventoryItems0Event');
  await onScreen('InventoryProfitCostListViewController');
  assert.equal(await label('showTodayPurchaseValueText', '15.00'), '15.00');
  assert.equal(await label('showMonthPurchaseValueText', '15.00'), '15.00');
  assert.equal(await label('showTodaySalesValueText', '7.50'), '7.50');
  assert.equal(await label('showMyInventoryQtyValueText', '7.00'), '7.00');
});
