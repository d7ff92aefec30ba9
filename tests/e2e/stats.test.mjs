// Inventory and order statistics in the browser, on an empty ledger: opened from the
// dashboard, period kinds switched through the selector, purchases chosen through the
// sheet, and a column touched without any amount to show.
import assert from 'node:assert/strict';
import {test} from 'node:test';

import {useApp} from './harness.mjs';

const app = useApp();
const DASHBOARD = 'InventoryProfitCostListViewController';

test('inventory statistics of an empty catalogue lists nothing and goes back', async () => {
  const s = app.screen;
  await s.waitFor(DASHBOARD);
  await s.go('showInventoryStatisticsEvent', 'ALLInventoryViewController');
  assert.match(await s.title(), /\(0\)$/);
  assert.equal(await s.page.locator('#app [data-row]').count(), 0);
  await s.go('backEvent', DASHBOARD);
});

test('order statistics on an empty ledger: zeros, kinds, purchases, no value box', async () => {
  const s = app.screen;
  const visible = (id) => s.page.locator(`#app [data-id="${id}"]`).isVisible();
  await s.go('showOrderStatisticsEvent', 'HomeStatisticsViewController');
  for (const id of ['showIncomeValueText', 'showOrderTotalCountsValueText',
    'showOrderTotalEntrysValueText']) {
    assert.equal(await s.text(id), '0.00', id);
  }
  assert.ok(await visible('DaysLbl'));
  assert.ok(!(await visible('WeeksLbl')));

  // Weeks, then years: each shows its own label only.
  await s.page.click('#app [data-id="segmentView"] [data-index="1"]');
  await s.page.locator('#app [data-id="WeeksLbl"]').waitFor({state: 'visible'});
  assert.ok(!(await visible('DaysLbl')));
  await s.page.click('#app [data-id="segmentView"] [data-index="3"]');
  await s.page.locator('#app [data-id="YearsLbl"]').waitFor({state: 'visible'});
  const year = Number(await s.text('YearsLbl'));
  await s.tapAction('nextMonthDataEvent');
  await s.until(() => s.text('YearsLbl'), String(year + 1), 'next year');
  assert.equal(await s.text('showIncomeValueText'), '0.00');

  // Purchases through the chooser.
  const salesTitle = await s.title();
  await s.page.click('#app button[data-action="choseEvent"]');
  await s.tapSheet(1);
  await s.page.waitForFunction((t) =>
    document.querySelector('#app [data-id="title"]').textContent.trim() !== t, salesTitle);
  assert.equal(await s.page.locator('[data-sheet]').count(), 0);

  // Twelve columns, all flat; touching one shows no value box.
  const columns = s.page.locator('#app [data-id="columnChart"] [data-column]');
  assert.equal(await columns.count(), 12);
  await columns.nth(4).hover();
  await columns.nth(4).click();
  await s.page.waitForTimeout(300);
  const box = s.page.locator('[data-id="floatBox"]');
  assert.ok((await box.count()) === 0 || !(await box.isVisible()));
  await s.go('closeEvent', DASHBOARD);
});
