// The program as a process, driven over HTTP as the page drives it: one instance per data
// folder, and a ledger that survives kill -9 at random moments of saves, edits, deletes and
// settings writes (integrity, the settings file, and every order the page was told was
// saved, there whole).
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdtemp, readFile, rm, stat} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {after, test} from 'node:test';

import {binary, programArgs, startProgram as startOnce} from './harness.mjs';

// Whatever a failing test leaves running is killed, or the runner would wait for it.
const started = [];
after(() => started.forEach(({proc}) => proc.exitCode === null && proc.kill('SIGKILL')));
async function startProgram(dir) {
  started.push(await startOnce(dir));
  return started.at(-1);
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const rand = (n) => Math.floor(Math.random() * n);
const sql = (db, query) => execFileSync('sqlite3', ['-json', db, query], {encoding: 'utf8'});
const rows = (db, query) => JSON.parse(sql(db, query) || '[]');

async function kill9(proc) {
  const exited = new Promise((resolve) => proc.once('exit', resolve));
  proc.kill('SIGKILL');
  await exited;
}

// Posts events to the screen on top, as the page does; every answer but 200 throws.
class Page {
  constructor(url) {
    const u = new URL(url);
    this.base = u.origin;
    this.token = u.searchParams.get('token');
    this.sent = 0;
  }
  async call(method, where, body) {
    // A connection of its own each time, and a deadline: a lost answer fails, not hangs.
    const res = await fetch(`${this.base}${where}?token=${this.token}`, {method,
      headers: {'content-type': 'application/json', 'connection': 'close'},
      body: body && JSON.stringify(body), signal: AbortSignal.timeout(15000)});
    const answer = await res.json();
    if (res.status !== 200) throw new Error(`${res.status} ${JSON.stringify(answer)}`);
    this.view = answer;
    return answer;
  }
  send(event) {
    this.onSend?.(++this.sent);
    return this.call('POST', '/api/event', {serial: this.view.screen.serial, ...event});
  }
  get screen() { return this.view.screen.screen; }
  widget(id) { return this.view.screen.widgets.find((w) => w.id === id); }
  tap(action) { return this.send({type: 'tap', action}); }
  row(id, row) { return this.send({type: 'row', id, row}); }
  text(id, value) {
    const length = [...this.widget(id).text].length;
    return this.send({type: 'text', id, location: 0, length, replacement: value});
  }
  // Runs [operation, ...arguments] in turn.
  async steps(list) {
    for (const [op, ...args] of list) await this[op](...args);
  }
  // Back to a main screen, then its bar button to `target`.
  async go(target) {
    while (!this.widget('tabBar')) await this.tap('backEvent');
    return this.tap(this.widget('tabBar').items.find((i) => i.id === target).action);
  }
  atJournal() { assert.match(this.screen, /^(IN|OUT)ItemsViewController$/); }
}

test('a second start prints the address of the first; a killed first blocks nothing', async () => {
  const dir = await mkdtemp(path.join(tmpdir(), 'mk-e2e-'));
  const first = await startProgram(dir);
  const again = execFileSync(binary, programArgs(dir), {encoding: 'utf8'});  // throws unless 0
  assert.equal(again.trim(), first.url);
  const lock = path.join(dir, 'marrowkeeper.lock');
  assert.equal((await stat(lock)).mode & 0o777, 0o600);
  await kill9(first.proc);
  const next = await startProgram(dir);
  assert.notEqual(next.url, first.url);
  next.proc.kill('SIGTERM');
  await new Promise((resolve) => next.proc.once('exit', resolve));
  assert.equal(await readFile(lock, 'utf8'), '', 'a clean exit leaves no mark');
  await rm(dir, {recursive: true, force: true});
});

test('kill -9 at random moments loses no order the page was told was saved', async () => {
  const dir = await mkdtemp(path.join(tmpdir(), 'mk-e2e-'));
  const db = path.join(dir, 'voice.sqlite');
  const saved = new Map();  // order name -> its lines and journal, for every save answered
  const uncertain = new Set();  // orders an unanswered edit or delete may have touched
  let serial = 0;

  // A small catalogue, made before any kill: one category, three products.
  const open = async () => {
    const started = await startProgram(dir);
    const page = new Page(started.url);
    await page.call('GET', '/api/view');
    return [started, page];
  };
  let [run, p] = await open();
  await p.steps([['go', 'jumpMoreItems'], ['row', 'tableView', 0], ['tap', 'addProductEvent'],
    ['text', 'productNameText', 'Tools'], ['tap', 'completeEvent'], ['row', 'tableView', 0]]);
  for (const [name, price] of [['Hammer', '2'], ['Saw', '4'], ['File', '3']]) {
    await p.steps([['tap', 'addProductSubItemEvent'], ['text', 'productNameText', name],
      ['text', 'referencePriceText', price], ['text', 'productQtyText', '1'],
      ['text', 'productUnitsText', 'pcs'], ['tap', 'completeEvent']]);
  }

  // One order with one to three lines, the first line's quantity changed, saved.
  const save = async () => {
    const name = `order ${++serial}`;
    const journal = Math.random() < 0.5 ? 'jumpOutItems' : 'jumpInItems';
    await p.go(journal);
    // Orders follow each other within the same second: each still gets a key of its own.
    await p.steps([['tap', 'addNewSalesOrPurchase'], ['text', 'orderNameText', name],
      ['tap', 'topShowSupplierOrCustomerListEvent'], ['send', {type: 'alert', row: 0}]]);
    const lines = 1 + rand(3);
    for (let i = 0; i < lines; i++) {
      await p.steps([['tap', 'tapJumpProductNameSelectEvent'], ['row', 'productTypeTableView', 0],
        ['row', 'productSubTableView', rand(3)]]);
    }
    await editFirstLineAndSave();
    saved.set(name, {lines, journal});
  };
  const editFirstLineAndSave = async () => {
    await p.steps([['row', 'tableView', 0], ['text', 'quantityText', String(1 + rand(9))],
      ['tap', 'completeEvent'], ['tap', 'saveToDoneEvent']]);
    p.atJournal();
  };
  const editOrDelete = async (name) => {
    await p.go(saved.get(name).journal);
    const at = p.widget('tableView').rows.findIndex((r) => r.fields.some((f) => f.text === name));
    if (at < 0) return;
    await p.row('tableView', at);
    uncertain.add(name);
    if (Math.random() < 0.6) {
      await editFirstLineAndSave();
    } else {
      await p.steps([['tap', 'deleteProductCurrentItemsEvent'],
        ['send', {type: 'sheet', index: 0}]]);
      p.atJournal();
      saved.delete(name);
    }
    uncertain.delete(name);
  };

  const runs = 30;
  const failures = [];
  let answered = 0;
  // After a restart, whose start-up repair removes an interrupted new order's lines and brings
  // an interrupted edit's totals in line: no line without its order, every order's totals equal
  // its lines, every answered save there whole.
  const checkOrders = (i) => {
    const ghosts = rows(db, `SELECT count(*) AS n FROM SUserCommodityOrder l WHERE NOT EXISTS
      (SELECT 1 FROM SUserCommodity h WHERE h.orderPrimaryKeyDate = l.orderItemPrimaryKeyDate)`);
    if (ghosts[0].n !== 0) failures.push(`run ${i}: ${ghosts[0].n} lines without an order`);
    const orders = rows(db, `SELECT h.orderName AS name, h.orderTotalEntrys AS entries,
      h.orderTotalAmount AS amount, count(l.orderItemUid) AS lines,
      printf('%.2f', total(l.orderItemTotalAmount)) AS sum FROM SUserCommodity h
      LEFT JOIN SUserCommodityOrder l ON l.orderItemPrimaryKeyDate = h.orderPrimaryKeyDate
      GROUP BY h.uid`);
    for (const o of orders) {
      if (o.entries !== String(o.lines) || o.amount !== o.sum)
        failures.push(`run ${i}: totals out of line ${JSON.stringify(o)}`);
    }
    const byName = new Map(orders.map((o) => [o.name, o]));
    for (const [name, {lines}] of saved) {
      const o = byName.get(name);
      if (!o && uncertain.has(name)) {  // an unanswered delete went through
        saved.delete(name);
      } else if (!o || (!uncertain.has(name) && o.lines !== lines)) {
        failures.push(`run ${i}: ${name} saved with ${lines} lines, found ${JSON.stringify(o)}`);
      }
    }
    uncertain.clear();
  };

  for (let i = 0; i < runs; i++) {
    if (i > 0) {
      [run, p] = await open();
      checkOrders(i - 1);
    }
    // Killed a few milliseconds after a random one of the next 40 events was posted; the
    // journals and the order editor write settings on the way.
    let alive = true;
    let killed;
    const target = 1 + rand(40);
    p.onSend = (n) => {
      if (n !== target) return;
      alive = false;
      killed = sleep(Math.random() * 4).then(() => kill9(run.proc));
    };
    while (alive) {
      const names = [...saved.keys()];
      const saving = names.length < 2 || Math.random() < 0.5;
      try {
        await (saving ? save() : editOrDelete(names[rand(names.length)]));
        answered++;
      } catch (err) {
        if (alive) throw err;  // only a killed program may leave an operation unanswered
      }
    }
    await killed;

    const integrity = rows(db, 'PRAGMA integrity_check').map((r) => r.integrity_check);
    if (integrity.join() !== 'ok') failures.push(`run ${i}: integrity ${integrity}`);
    const settings = JSON.parse(await readFile(path.join(dir, 'user-defaults.json'), 'utf8'));
    if (settings['yyyy/MM/dd'] !== 'yyyy/MM/dd') failures.push(`run ${i}: settings ${settings}`);
  }
  [run, p] = await open();
  checkOrders(runs - 1);
  await kill9(run.proc);
  console.log(`crash loop: ${runs} kills, ${answered} operations answered, ${saved.size} orders ` +
    `kept, ${failures.length} failures`);
  assert.deepEqual(failures, []);
  await rm(dir, {recursive: true, force: true});
});
