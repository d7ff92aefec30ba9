// Tap-to-paint in the browser: starts the real program on a copy of a benchmark ledger,
// opens the page in headless Chromium at 320x568 and, for each screen, times from the tap
// (a real click on the control) to the frame after the new view is in the page. Every
// round visits every screen once, so a burst of other load on the machine hits them
// alike; each figure is the fastest of the rounds (other load only ever adds time), shown
// beside the median.
//
//   node bench/paint.bench.mjs --ledger PATH [--years N] [--small] [--rounds N]
//
// The ledger is copied into a scratch data folder and never changed. --years tells the
// targets apart (20 and more: 150 ms, else 100 ms); --small is the smoke run: one round,
// nothing judged. Options of the C++ benchmark (--benchmark_*) are ignored, so the
// benchmark script can pass its own arguments on.
import {copyFile, mkdtemp} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {App, PHONE_568, startProgram} from '../tests/e2e/harness.mjs';

function parseArgs(argv) {
  const o = {ledger: null, years: 5, small: false, rounds: 5};
  for (let i = 0; i < argv.length; i++) {
    const [name, inline] = argv[i].split(/=(.*)/s, 2);
    const value = () => (inline !== undefined ? inline : argv[++i]);
    if (name === '--ledger') o.ledger = value();
    else if (name === '--years') o.years = Number(value());
    else if (name === '--rounds') o.rounds = Number(value());
    else if (name === '--small') o.small = true;
    else if (!name.startsWith('--benchmark_')) throw new Error(`unknown argument ${argv[i]}`);
  }
  if (!o.ledger) throw new Error('--ledger PATH is required');
  if (!(o.years > 0) || !(o.rounds > 0)) throw new Error('--years and --rounds take a number');
  if (o.small) o.rounds = 1;
  return o;
}

const DASHBOARD = 'InventoryProfitCostListViewController';
const STATISTICS = 'HomeStatisticsViewController';
const JOURNAL = 'OUTItemsViewController';
const EDITOR = 'CreateOrEditSalesAccountVC';

const action = (name) => `#app [data-screen] [data-action="${name}"]`;
// Bar buttons carry the bar's position in their operation's name.
const barButton = (name) => `#app [data-screen] .bar [data-action^="${name}"]`;
const firstRow = (table) => `#app [data-screen] [data-id="${table}"] [data-row="0"]`;
const periodTab = (index) => `#app [data-screen] [data-id="segmentView"] [data-index="${index}"]`;

// One round, in the order a user can tap through it; `figure` names the timed taps, the
// others only lead to the next screen. Each tap names the screen it must end on.
const ROUND = [
  {figure: 'stock overview', tap: action('showInventoryStatisticsEvent'),
    ends: 'ALLInventoryViewController'},
  {figure: 'product history', tap: firstRow('tableView'), ends: 'OneProductViewController'},
  {tap: action('backEvent'), ends: 'ALLInventoryViewController'},
  {tap: action('backEvent'), ends: DASHBOARD},
  {figure: 'order statistics', tap: action('showOrderStatisticsEvent'), ends: STATISTICS},
  {figure: '  day step', tap: action('lastMonthDataEvent'), ends: STATISTICS},
  ...[['week', 1], ['month', 2], ['year', 3]].flatMap(([period, index]) => [
    {tap: periodTab(index), ends: STATISTICS},
    {figure: `  ${period} step`, tap: action('lastMonthDataEvent'), ends: STATISTICS},
  ]),
  {tap: action('closeEvent'), ends: DASHBOARD},
  {figure: 'journal month (bar)', tap: barButton('jumpOutItems'), ends: JOURNAL},
  {figure: 'journal month step', tap: action('backwardEvent'), ends: JOURNAL},
  {tap: action('addNewSalesOrPurchase'), ends: EDITOR},
  {figure: 'product picker', tap: action('tapJumpProductNameSelectEvent'),
    ends: 'SelectProductsBackViewController'},
  {tap: action('backEvent'), ends: EDITOR},
  {tap: action('backEvent'), ends: JOURNAL},
  {figure: 'More (bar)', tap: barButton('jumpMoreItems'), ends: 'MoreViewController'},
  {figure: 'dashboard (bar)', tap: barButton('jumpInventoryItems'), ends: DASHBOARD},
];

// In the page: resolves with the milliseconds from the next click to the second animation
// frame after a screen was put into #app (the first frame has then been painted).
function armPaintTimer() {
  window.paintTimer = new Promise((resolve, reject) => {
    let tappedAt = null;
    addEventListener('click', () => { tappedAt = performance.now(); },
      {capture: true, once: true});
    const observer = new MutationObserver((records) => {
      const drawn = records.some((r) => [...r.addedNodes].some(
        (n) => n instanceof Element && n.matches('[data-screen]')));
      if (tappedAt === null || !drawn) return;
      observer.disconnect();
      clearTimeout(timer);
      requestAnimationFrame(() => requestAnimationFrame(
        () => resolve(performance.now() - tappedAt)));
    });
    observer.observe(document.getElementById('app'), {childList: true});
    const timer = setTimeout(() => {
      observer.disconnect();
      reject(new Error('no screen drawn within 30 s of the tap'));
    }, 30000);
  });
}

async function tapAndTime(page, step, refusals) {
  await page.evaluate(armPaintTimer);
  const refusedBefore = refusals.length;
  await page.click(step.tap);
  const ms = await page.evaluate(() => window.paintTimer);
  const shown = await page.getAttribute('#app [data-screen]', 'data-screen');
  if (shown !== step.ends) throw new Error(`${step.tap} led to ${shown}, not ${step.ends}`);
  if (refusals.length > refusedBefore) {
    throw new Error(`${step.tap} was refused: ${refusals.at(-1)}`);
  }
  return ms;
}

const median = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  const m = s.length >> 1;
  return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2;
};

function printTable(o, times) {
  const target = o.small ? null : o.years >= 20 ? 150 : 100;
  const cols = (...c) => c[0].padEnd(24) + c.slice(1).map((x) => x.padStart(12)).join('');
  console.log(`\ntap-to-paint, Chromium headless ${PHONE_568.width}x${PHONE_568.height}, ` +
    `${o.rounds} round(s), ledger: ${o.ledger}`);
  console.log(cols('screen', 'median', 'fastest', 'target', 'result'));
  let allPass = true;
  for (const [figure, xs] of times) {
    const fastest = Math.min(...xs);
    const pass = target === null || fastest <= target;
    allPass &&= pass;
    console.log(cols(figure, median(xs).toFixed(1) + ' ms', fastest.toFixed(1) + ' ms',
      target === null ? '-' : `<= ${target} ms`, target === null ? '-' : pass ? 'PASS' : 'FAIL'));
  }
  if (target !== null) {
    console.log(allPass ? 'every tap-to-paint target holds' :
      'some tap-to-paint targets do not hold');
  }
  return allPass;
}

async function main() {
  const o = parseArgs(process.argv.slice(2));
  const app = new App();
  try {
    // The program runs on a copy: the cached ledger stays as generated.
    app.dataDir = await mkdtemp(path.join(tmpdir(), 'mk-paint-'));
    await copyFile(o.ledger, path.join(app.dataDir, 'voice.sqlite'));
    Object.assign(app, await startProgram(app.dataDir));
    const screen = await app.open(PHONE_568);
    const refusals = [];
    screen.page.on('console', (m) => {
      if (m.text().startsWith('event refused')) refusals.push(m.text());
    });
    await screen.waitFor(DASHBOARD);

    const times = new Map(ROUND.filter((s) => s.figure).map((s) => [s.figure, []]));
    for (let round = 0; round < o.rounds; round++) {
      for (const step of ROUND) {
        const ms = await tapAndTime(screen.page, step, refusals);
        if (step.figure) times.get(step.figure).push(ms);
      }
    }
    if (screen.errors.length) throw screen.errors[0];
    return printTable(o, times) ? 0 : 1;
  } finally {
    await app.stop();
  }
}

main().then((code) => { process.exitCode = code; }, (err) => {
  console.error('paint benchmark:', err.message);
  process.exitCode = 2;
});
