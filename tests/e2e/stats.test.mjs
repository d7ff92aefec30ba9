// Order statistics in the browser: with two sales, the value box stands beside the touched
// column as drawn, at 320 and 414 points wide, for a resting mouse and for a tap. (Totals,
// period kinds and the sales/purchase sheet are the screen's, tested without a browser.)
import assert from 'node:assert/strict';
import {test} from 'node:test';

import {recordOrder, useApp} from './harness.mjs';

const app = useApp();
const DASHBOARD = 'InventoryProfitCostListViewController';
const column = (s, i) => s.page.locator(`#app [data-id="columnChart"] [data-column="${i}"]`);
const floatBox = (s) => s.page.locator('#app [data-id="floatBox"]');
const opacity = (s) => floatBox(s).evaluate((n) => getComputedStyle(n).opacity);

test('the value box stands beside the touched column', async () => {
  const s = app.screen;
  const year = new Date().getFullYear();
  await s.go('jumpOutItems2Event', 'OUTItemsViewController');
  for (const [month, qty] of [['02', '2'], ['11', '1']]) {
    await recordOrder(s, {name: month, product: 'Saw', qty, price: '400', note: '-',
      makeProduct: month === '02', ymd: `${year}-${month}-15`});
    await s.waitFor('OUTItemsViewController');
  }
  await s.go('jumpInventoryItems1Event', DASHBOARD);
  await s.go('showOrderStatisticsEvent', 'HomeStatisticsViewController');

  for (const [width, height, touch] of [[320, 568, false], [414, 736, true]]) {
    const p = await app.app.open({width, height}, {hasTouch: touch, isMobile: touch});
    await p.waitFor('HomeStatisticsViewController');
    // February, the tallest column: to its right; November, near the end: to its left. On
    // its side, a quarter of the bar's width away, its foot as far above the bar's top.
    for (const [i, side, value] of [[1, 'right', '800.0'], [10, 'left', '400.0']]) {
      await (touch ? column(p, i).tap() : column(p, i).hover());
      await p.until(async () => (await floatBox(p).textContent()).trim(), value, 'value');
      await p.page.waitForTimeout(600);  // faded in; still there after a tap is over
      assert.equal(await opacity(p), '1');
      const bar = await column(p, i).locator('.bar-rect').boundingBox();
      const b = await floatBox(p).boundingBox();
      const gap = bar.width / 4;
      const off = side === 'right' ? b.x - (bar.x + bar.width + gap) : bar.x - gap - b.x - b.width;
      const where = JSON.stringify({width, i, b, bar});
      assert.ok(b.x >= 0 && b.y >= 0 && b.x + b.width <= width && b.y + b.height <= height, where);
      assert.ok(Math.abs(off) < 1 && Math.abs(bar.y - gap - b.y - b.height) < 1, where);
      await p.shot(`stats-value-box-${width}-${i}`);
    }
    if (touch) {
      await p.page.tap('#app [data-id="showIncomeValueText"]');  // a touch elsewhere
      await p.until(() => opacity(p), '0', 'faded');
    }
    await p.close();
  }
});
