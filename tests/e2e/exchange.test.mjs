// The orders export in a browser: the empty ledger's toast, the export mail's composer with
// its attachments, the cancel pop-up and the workbook download (the about screen's feedback
// mail is the same composer; its logic is tested with the mail flow).
import assert from 'node:assert/strict';
import {test} from 'node:test';

import {useApp} from './harness.mjs';

const app = useApp();

// Cancels the composer on show: a pop-up says so and the composer goes.
async function cancelComposer(s) {
  await s.page.click('[data-composer] [data-action="cancel"]');
  await s.untilText('[data-popup]', 'Sending cancelled');
  await s.page.locator('[data-composer]').waitFor({state: 'detached'});
}

test('export: no records, then the attachments, cancel, and the workbook download', async () => {
  const s = app.screen;
  await s.go('jumpMoreItems2Event', 'MoreViewController');
  await s.tapRow('tableView', 1);
  await s.untilText('[data-toast]', 'No records');
  assert.equal(await s.page.locator('[data-composer]').count(), 0);
  // One sale through the sales journal and the order editor.
  await s.go('jumpOutItems3Event', 'OUTItemsViewController');
  await s.go('addNewSalesOrPurchase', 'CreateOrEditSalesAccountVC');
  await s.fill('orderNameText', 'Export me');
  await s.tapAction('topShowSupplierOrCustomerListEvent');
  await s.page.click('[data-alert] [data-row="0"]');
  await s.go('saveToDoneEvent', 'OUTItemsViewController');

  await s.go('jumpMoreItems1Event', 'MoreViewController');
  await s.tapRow('tableView', 1);
  const composer = s.page.locator('[data-composer]');
  await composer.waitFor();
  assert.equal(await composer.locator('[data-id="subject"]').inputValue(), 'Export data');
  assert.equal(await composer.locator('[data-id="to"]').inputValue(), '');
  const links = composer.locator('a.attachment');
  assert.deepEqual(await links.evaluateAll((as) => as.map((a) => a.download)),
      ['Marrowkeeper3.CSV', 'Marrowkeeper3.xlsx']);
  const bytes = await links.first().evaluate(async (a) => (await fetch(a.href)).text());
  assert.match(bytes, /^Type,Order name,Quantity,Items,Total,Date,Weekday,Notes\n Sales,Export me,/);
  await cancelComposer(s);
  // The spreadsheet row downloads the workbook, without mail; no other document is served.
  const download = s.page.waitForEvent('download');
  await s.tapRow('tableView', 2);
  assert.equal((await download).suggestedFilename(), 'Marrowkeeper3.xlsx');
  const other = () => fetch('/api/document?name=voice.sqlite').then((r) => r.status);
  assert.equal(await s.page.evaluate(other), 404);
});
