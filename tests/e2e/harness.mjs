// Starts the real program on a free port with a fresh data folder, drives the page in
// headless Chromium, and cleans everything up afterwards.
import assert from 'node:assert/strict';
import {spawn} from 'node:child_process';
import {mkdtemp, mkdir, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {createInterface} from 'node:readline';
import {after, before} from 'node:test';
import {fileURLToPath} from 'node:url';
import {chromium} from 'playwright-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const artifacts = path.join(root, 'test-artifacts');

// Phone sizes in CSS pixels at a device pixel ratio of 2.
export const PHONE_568 = {width: 320, height: 568};
export const PHONE_480 = {width: 320, height: 480};

export class App {
  constructor() {
    this.proc = null;
    this.url = null;
    this.dataDir = null;
    this.browser = null;
  }

  // Starts the program; resolves with the address it printed first. `prepare(dataDir)` may
  // fill the fresh data folder before.
  async start(extraArgs = [], prepare = null) {
    this.dataDir = await mkdtemp(path.join(tmpdir(), 'mk-e2e-'));
    if (prepare) await prepare(this.dataDir);
    const started = await startProgram(this.dataDir, extraArgs);
    this.proc = started.proc;
    this.url = started.url;
    return this.url;
  }

  async launchBrowser() {
    this.browser = await chromium.launch({
      executablePath: process.env.MK_CHROMIUM || '/usr/bin/chromium',
      args: ['--no-sandbox', '--headless', '--disable-gpu', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
    return this.browser;
  }

  // A fresh page of the given CSS size at 2 device pixels per CSS pixel, on the app;
  // `options` go to the browser context (a touch screen: {hasTouch: true}).
  async open(viewport = PHONE_568, options = {}) {
    if (!this.browser) await this.launchBrowser();
    const context = await this.browser.newContext({viewport, deviceScaleFactor: 2, ...options});
    const page = await context.newPage();
    const screen = new Screen(page);
    page.on('pageerror', (err) => screen.errors.push(err));
    await page.goto(this.url);
    await page.waitForSelector('[data-screen]');
    return screen;
  }

  async stop() {
    if (this.browser) await this.browser.close().catch(() => {});
    this.browser = null;
    if (this.proc && this.proc.exitCode === null) {
      const exited = new Promise((resolve) => this.proc.once('exit', resolve));
      this.proc.kill('SIGTERM');
      await Promise.race([exited, new Promise((r) => setTimeout(r, 5000))]);
      if (this.proc.exitCode === null) this.proc.kill('SIGKILL');
    }
    this.proc = null;
    if (this.dataDir) await rm(this.dataDir, {recursive: true, force: true});
    this.dataDir = null;
  }
}

export const binary = process.env.MK_BINARY || path.join(root, 'build', 'marrowkeeper');
export const programArgs = (dataDir) =>
  ['--port', '0', '--no-browser', '--data-dir', dataDir, '--lang', 'en'];

// Starts the program on `dataDir`; resolves with the process and the address it printed.
export async function startProgram(dataDir, extraArgs = []) {
  const proc = spawn(binary, [...programArgs(dataDir), ...extraArgs],
    {stdio: ['ignore', 'pipe', 'pipe']});
  let stderr = '';
  proc.stderr.on('data', (chunk) => { stderr += chunk; });
  const lines = createInterface({input: proc.stdout});
  const url = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('no address within 15 s: ' + stderr)), 15000);
    proc.once('exit', (code) => {
      clearTimeout(timer);
      reject(new Error(`program exited with ${code}: ${stderr}`));
    });
    lines.once('line', (line) => {
      clearTimeout(timer);
      resolve(line.trim());
    });
  });
  return {proc, url};
}

// Helpers on one page, by the page's data attributes.
export class Screen {
  constructor(page) {
    this.page = page;
    this.errors = [];  // script errors on the page; close() fails when there were any
  }

  async close() {
    await this.page.context().close();
    if (this.errors.length) throw this.errors[0];
  }

  async serial() {
    return this.page.getAttribute('[data-screen]', 'data-serial');
  }

  // Taps and waits until the program answered with another screen.
  async tapActionAndWait(action) {
    const before = await this.serial();
    await this.tapAction(action);
    await this.page.waitForFunction((serial) => {
      const s = document.querySelector('[data-screen]');
      return s && s.dataset.serial !== serial;
    }, before);
  }

  async name() {
    return this.page.getAttribute('[data-screen]', 'data-screen');
  }

  async layout() {
    return this.page.getAttribute('[data-screen]', 'data-layout');
  }

  // Waits until the screen with this class name is drawn.
  async waitFor(className) {
    await this.page.waitForSelector(`[data-screen="${className}"]`);
  }

  async tapAction(action) {
    await this.page.click(`#app [data-action="${action}"]`);
  }

  async text(id) {
    return (await this.page.textContent(`#app [data-id="${id}"]`)).trim();
  }

  // Waits for the screen of this class name and, when given, its title.
  async at(className, title) {
    await this.waitFor(className);
    if (title !== undefined) await this.until(() => this.title(), title, 'title');
  }

  // Taps by data-action and waits for the screen it leads to.
  async go(action, className, title) {
    await this.tapAction(action);
    await this.at(className, title);
  }

  async title() {
    return (await this.page.textContent('#app [data-screen] [data-id="title"]')).trim();
  }

  // Polls `read` until it returns `expected`; fails with the last value after 5 s.
  async until(read, expected, what) {
    const deadline = Date.now() + 5000;
    let last;
    while (Date.now() < deadline) {
      try {
        last = await read();
        if (last === expected) return last;
      } catch (_) { /* the screen is being redrawn */ }
      await new Promise((r) => setTimeout(r, 50));
    }
    assert.equal(last, expected, what);
  }

  // Waits until some node of `selector` anywhere on the page reads `expected`.
  async untilText(selector, expected) {
    const read = async () => {
      const texts = (await this.page.locator(selector).allTextContents()).map((t) => t.trim());
      return texts.includes(expected) ? expected : texts.join(' | ');
    };
    return this.until(read, expected, selector);
  }

  cellSelector(table, row, field) {
    return `#app [data-screen] [data-id="${table}"] [data-row="${row}"]` +
      (field ? ` [data-id="${field}"]` : '');
  }

  // Waits until a cell of a table row reads `expected`.
  async untilCell(table, row, field, expected) {
    return this.untilText(this.cellSelector(table, row, field), expected);
  }

  // Taps a cell of a row, or the row's leading edge (clear of any buttons in it).
  async tapRow(table, row, field) {
    await this.page.click(this.cellSelector(table, row, field),
      field ? {} : {position: {x: 8, y: 8}});
  }

  input(id) {
    return this.page.locator(`#app [data-screen] [data-id="${id}"]`);
  }

  value(id) {
    return this.input(id).inputValue();
  }

  // Types like a user: one key at a time, each after the program answered the one before
  // (a refused key leaves the text as it was, so that wait ends by time). With `replace`,
  // selects everything and deletes it first: one text event for the whole range.
  async typeKeys(id, text, {replace = false} = {}) {
    await this.input(id).click();
    await this.page.keyboard.press('End');
    if (replace) {
      await this.page.keyboard.press('ControlOrMeta+A');
      await this.page.keyboard.press('Backspace');
      await this.until(() => this.value(id), '', `${id} cleared`);
    }
    for (const ch of text) {
      const before = await this.value(id);
      await this.page.keyboard.type(ch);
      const deadline = Date.now() + 400;
      while (Date.now() < deadline && (await this.value(id)) === before) {
        await new Promise((r) => setTimeout(r, 20));
      }
    }
  }

  // Replaces the text of a field key by key and waits until the field holds all of it.
  async fill(id, text) {
    await this.typeKeys(id, text, {replace: true});
    await this.until(() => this.value(id), text, id);
  }

  // Chooses a button of the action sheet on show.
  async tapSheet(index) {
    await this.page.click(`[data-sheet] [data-sheet-index="${index}"]`);
  }

  async shot(name) {
    await mkdir(artifacts, {recursive: true});
    await this.page.screenshot({path: path.join(artifacts, name + '.png'), animations: 'disabled'});
  }

  // The screen at 320 points wide, then at 1280, then back at the phone's size.
  async shots(name) {
    await this.shot(`${name}-320`);
    await this.page.setViewportSize({width: 1280, height: 800});
    await this.page.waitForTimeout(400);  // the size report and its redraw
    await this.shot(`${name}-1280`);
    await this.page.setViewportSize(PHONE_568);
    await this.page.waitForTimeout(400);
  }
}

// Today as the date panel gives it: "YYYY-MM-DD".
function today() {
  const d = new Date();
  const p = (n) => String(n).padStart(2, '0');
  return `${d.getFullYear()}-${p(d.getMonth() + 1)}-${p(d.getDate())}`;
}

// From a journal: one order with one line of `qty` x `price`, dated `ymd`, saved.
export async function recordOrder(s, {name, product, qty, price, note, makeProduct,
  ymd = today()}) {
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
  await picker.fill(ymd);
  await picker.dispatchEvent('change');
  await label('showDateLbl', ymd.replaceAll('-', '/'));
  await s.tapAction('hideDatePanelEvent');

  await s.go('tapJumpNoteSelectEvent', 'NoteSelectListView');
  await s.fill('noteText', note);
  await s.go('inputTextCompleteEvent', 'CreateOrEditSalesAccountVC');
  await label('showNotesLbl', note);
  await s.shot(`order-editor-${name.replace(/\W+/g, '-').toLowerCase()}`);
  await s.tapAction('saveToDoneEvent');
}

// One program and one phone-sized page on it; close() stops both and removes the data.
export async function launch({viewport = PHONE_568, args = [], prepare = null} = {}) {
  const app = new App();
  try {
    await app.start(args, prepare);
    const screen = await app.open(viewport);
    return {
      app,
      screen,
      page: screen.page,
      url: app.url,
      async close() {
        const errors = screen.errors;
        await app.stop();
        if (errors.length) throw errors[0];
      },
    };
  } catch (err) {
    await app.stop();
    throw err;
  }
}

// One program and one page for the tests of a file: started before them, stopped after.
export function useApp(options) {
  const session = {};
  before(async () => { Object.assign(session, await launch(options)); });
  after(async () => { await session.close?.(); });
  return session;
}
