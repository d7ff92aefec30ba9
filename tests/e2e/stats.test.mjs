// Inventory and order statistics in the browser, on an empty ledger: opened from the
// dashboard, period kinds switched through the selector, purchases chosen through the
// sheet, and a column touched without any amount to show.
import { test } from 'node:test';
import assert from 'node:assert/strict';

import { launch } from './harness.mjs';

async function text(page, id) {
  return (await page.locator(`[data-id="${id}"]`).first().textContent()).trim();
}

async function titleOf(page) {
  return (await page.locator('[data-id="title"]').textContent()).trim();
}

async function waitForScreen(page, name) {
  await page.locator(`[data-screen="${name}"]`).waitFor();
}

test('inventory statistics of an empty catalogue lists nothing and goes back', async () => {
  const app = await launch();
  try {
    const { page } = app;
    await waitForScreen(page, 'InventoryProfitCostListViewController');
    await page.locator('[data-action="showInventoryStatisticsEvent"]').click();
    await waitForScreen(page, 'ALLInventoryViewController');
    assert.match(await titleOf(page), /\(0\)$/);
    assert.equal(await page.locator('[data-row]').count(), 0);
    await page.locator('[data-action="backEvent"]').click();
    await waitForScreen(page, 'InventoryProfitCostListViewController');
  } finally {
    await app.close();
  }
});

test('order statistics on an empty ledger: zeros, kinds, purchases, no value box', async () => {
  const app = await launch();
  try {
    const { page } = app;
    await waitForScreen(page, 'InventoryProfitCostListViewController');
    await page.locator('[data-action="showOrderStatisticsEvent"]').click();
    await waitForScreen(page, 'HomeStatisticsViewController');

    for (const id of ['showIncomeValueText', 'showOrderTotalCountsValueText',
                      'showOrderTotalEntrysValueText']) {
      assert.equal(await text(page, id), '0.00');
    }
    assert.ok(await page.locator('[data-id="DaysLbl"]').isVisible());
    assert.ok(!(await page.locator('[data-id="WeeksLbl"]').isVisible()));

    // Weeks, then years: each shows its own label only.
    await page.locator('[data-id="segmentView"] [data-index="1"]').click();
    await page.locator('[data-id="WeeksLbl"]').waitFor({ state: 'visible' });
    assert.ok(!(await page.locator('[data-id="DaysLbl"]').isVisible()));
    await page.locator('[data-id="segmentView"] [data-index="3"]').click();
    await page.locator('[data-id="YearsLbl"]').waitFor({ state: 'visible' });
    const year = Number(await text(page, 'YearsLbl'));
    await page.locator('[data-action="nextMonthDataEvent"]').click();
    await page.waitForFunction(
      (y) => document.querySelector('[data-id="YearsLbl"]').textContent.trim() === String(y),
      year + 1);
    assert.equal(await text(page, 'showIncomeValueText'), '0.00');

    // Purchases through the chooser.
    const salesTitle = await titleOf(page);
    await page.locator('button[data-action="choseEvent"]').click();
    await page.locator('[data-sheet-index="1"]').click();
    await page.waitForFunction(
      (t) => document.querySelector('[data-id="title"]').textContent.trim() !== t, salesTitle);
    assert.notEqual(await titleOf(page), salesTitle);
    assert.equal(await page.locator('[data-sheet]').count(), 0);

    // Twelve columns, all flat; touching one shows no value box.
    const columns = page.locator('[data-id="columnChart"] [data-column]');
    assert.equal(await columns.count(), 12);
    await columns.nth(4).hover();
    await columns.nth(4).click();
    await page.waitForTimeout(300);
    const box = page.locator('[data-id="floatBox"]');
    assert.ok((await box.count()) === 0 || !(await box.isVisible()));

    await page.locator('[data-action="closeEvent"]').click();
    await waitForScreen(page, 'InventoryProfitCostListViewController');
  } finally {
    await app.close();
  }
});
