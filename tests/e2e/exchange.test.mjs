// The orders export in a browser: the export mail's composer with its attachments, sent to a
// mail server that does not answer (the page stays live meanwhile, and the send is cancelled
// or ends when the server hangs up), and the workbook download.
import assert from 'node:assert/strict';
import {writeFile} from 'node:fs/promises';
import {createServer} from 'node:net';
import path from 'node:path';
import {test} from 'node:test';

import {useApp} from './harness.mjs';

const app = useApp();

test('export: the mail to a silent server, cancelled or ended by it; the workbook', async () => {
  const s = app.screen;
  const held = [];  // connections to a mail server that says nothing until it hangs up
  const silent = createServer((sock) => held.push(sock.on('error', () => {})));
  await new Promise((resolve) => silent.listen(0, '127.0.0.1', resolve));
  await writeFile(path.join(app.app.dataDir, 'mail-settings.conf'),
    `MARROWKEEPER_SMTP_URL=smtp://127.0.0.1:${silent.address().port}\n`);
  // One sale through the sales journal and the order editor.
  await s.go('jumpOutItems2Event', 'OUTItemsViewController');
  await s.go('addNewSalesOrPurchase', 'CreateOrEditSalesAccountVC');
  await s.fill('orderNameText', 'Export me');
  await s.tapAction('topShowSupplierOrCustomerListEvent');
  await s.page.click('[data-alert] [data-row="0"]');
  await s.go('saveToDoneEvent', 'OUTItemsViewController');

  await s.go('jumpMoreItems1Event', 'MoreViewController');
  await s.tapRow('tableView', 1);
  const composer = s.page.locator('[data-composer]');
  assert.equal(await composer.locator('[data-id="subject"]').inputValue(), 'Export data');
  const links = composer.locator('a.attachment');
  assert.deepEqual(await links.evaluateAll((as) => as.map((a) => a.download)),
      ['Marrowkeeper3.CSV', 'Marrowkeeper3.xlsx']);
  const background = (serial) => fetch('/api/event', {method: 'POST', body: JSON.stringify(
    {serial: Number(serial), type: 'background'}), headers: {'Content-Type': 'application/json'}})
    .then((r) => r.status);
  for (const [end, outcome] of [['cancelSendEvent', 'Sending cancelled'], [0, 'Failed to send']]) {
    if (end === 0) await s.tapRow('tableView', 1);
    await composer.locator('[data-id="to"]').fill('"Doe, Jo" <jo@example.com>');
    await composer.locator('[data-action="send"]').click();
    // On its way: a spinner, nothing to choose but to cancel, and other events are answered.
    await composer.locator('[data-id="sendingSpinner"]').waitFor();
    assert.ok(await composer.locator('[data-action="save"]').isDisabled());
    assert.equal(await s.page.evaluate(background, await s.serial()), 200);
    if (end) await composer.locator(`[data-action="${end}"]`).click();
    else held.splice(0).forEach((sock) => sock.destroy());
    await s.untilText('[data-popup]', outcome);
    await composer.waitFor({state: 'detached'});
  }
  silent.close();
  // The spreadsheet row downloads the workbook, without mail; no other document is served.
  const download = s.page.waitForEvent('download');
  await s.tapRow('tableView', 2);
  assert.equal((await download).suggestedFilename(), 'Marrowkeeper3.xlsx');
  const other = () => fetch('/api/document?name=voice.sqlite').then((r) => r.status);
  assert.equal(await s.page.evaluate(other), 404);
});
