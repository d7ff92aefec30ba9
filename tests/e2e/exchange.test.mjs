// The orders export and the about screen in a browser: the empty ledger's toast, the export
// mail's composer with its attachment and the cancel pop-up, and the feedback composer.
import assert from 'node:assert/strict';
import {after, before, describe, test} from 'node:test';

import {App, PHONE_568} from './harness.mjs';

describe('export and about', () => {
  const app = new App();
  let screen;
  before(async () => {
    await app.start();
    screen = await app.open(PHONE_568);
  });
  after(async () => {
    await screen?.close();
    await app.stop();
  });

  const page = () => screen.page;
  const row = (table, i) =>
    page().click(`#app [data-screen] [data-id="${table}"] [data-row="${i}"]`, {position: {x: 8, y: 8}});
  async function waitText(selector, text) {
    await page().waitForFunction(([s, t]) =>
      [...document.querySelectorAll(s)].some((n) => n.textContent.trim() === t), [selector, text],
    {timeout: 5000});
  }
  async function type(id, text) {
    const input = page().locator(`#app [data-screen] [data-id="${id}"]`);
    await input.click();
    await input.pressSequentially(text);
    await page().waitForFunction(([i, t]) =>
      document.querySelector(`[data-screen] [data-id="${i}"]`)?.value === t, [id, text]);
  }

  test('export on an empty ledger shows the no-record toast and no composer', async () => {
    await screen.tapActionAndWait('jumpMoreItems2Event');
    await screen.waitFor('MoreViewController');
    await row('tableView', 1);
    await waitText('[data-toast]', 'No records');
    assert.equal(await page().locator('[data-composer]').count(), 0);
  });

  test('export with an order shows the attachment; cancel shows its pop-up', async () => {
    // One sale through the sales journal and the order editor.
    await screen.tapActionAndWait('jumpOutItems3Event');
    await screen.waitFor('OUTItemsViewController');
    await screen.tapActionAndWait('addNewSalesOrPurchase');
    await screen.waitFor('CreateOrEditSalesAccountVC');
    await type('orderNameText', 'Export me');
    await screen.tapAction('topShowSupplierOrCustomerListEvent');
    await page().click('[data-alert] [data-row="0"]');
    await screen.tapActionAndWait('saveToDoneEvent');
    await screen.waitFor('OUTItemsViewController');

    // A new More screen reads the order.
    await screen.tapActionAndWait('jumpMoreItems1Event');
    await screen.waitFor('MoreViewController');
    await row('tableView', 1);
    const composer = page().locator('[data-composer]');
    await composer.waitFor();
    assert.equal(await composer.locator('[data-id="subject"]').inputValue(), 'Export data');
    assert.equal(await composer.locator('[data-id="to"]').inputValue(), '');
    const link = composer.locator('a.attachment');
    assert.equal(await link.count(), 1);
    assert.equal(await link.getAttribute('download'), 'Marrowkeeper3.CSV');
    assert.match(await link.textContent(), /text\/csv/);
    // The link serves the file's bytes.
    const href = await link.getAttribute('href');
    const bytes = await page().evaluate(async (h) => (await fetch(h)).text(), href);
    assert.match(bytes, /^Type,Order name,Quantity,Items,Total,Date,Weekday,Notes\n Sales,Export me,/);

    await composer.locator('[data-action="cancel"]').click();
    await waitText('[data-popup]', 'Sending cancelled');
    await page().locator('[data-composer]').waitFor({state: 'detached'});
  });

  test('the about screen shows the version and opens the feedback composer', async () => {
    await row('tableView', 2);
    await screen.waitFor('AboutViewController');
    assert.match(await screen.text('appNameVersionLbl'), /^Marrowkeeper v\d+(\.\d+)*$/);
    await row('tableView', 0);
    const composer = page().locator('[data-composer]');
    await composer.waitFor();
    assert.equal(await composer.locator('[data-id="subject"]').inputValue(), 'Feedback');
    assert.match(await composer.locator('[data-id="to"]').inputValue(), /@/);
    const body = await composer.locator('[data-id="body"]').inputValue();
    assert.match(body, /^\n\{Marrowkeeper v[\d.]+ \| [^,]+,[^ ]+ \n\S+ \S+ \| .+\} \n$/);
    assert.equal(await composer.locator('a.attachment').count(), 0);
    await composer.locator('[data-action="cancel"]').click();
    await waitText('[data-popup]', 'Sending cancelled');
    await page().locator('[data-composer]').waitFor({state: 'detached'});
    await screen.tapActionAndWait('backEvent');
    await screen.waitFor('MoreViewController');
  });
});
