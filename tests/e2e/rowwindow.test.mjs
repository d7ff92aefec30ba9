// A long list in the browser: 300 products in the stock overview arrive in windows; scrolled
// to the end the last row is drawn with its index in the whole list, and a tap on it opens
// that product.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import path from 'node:path';
import {test} from 'node:test';

import {useApp} from './harness.mjs';

const session = useApp();

test('a long list scrolls in windows and its last row opens the last product', async () => {
  const {app, screen: s, page} = session;
  const values = Array.from({length: 300}, (_, i) =>
    `('K${i}','Item ${String(i).padStart(3, '0')}','1')`).join(',');
  execFileSync('sqlite3', [path.join(app.dataDir, 'voice.sqlite'), 'INSERT INTO ' +
    `SProductsNameSub (productSubNameKey, productSubName, productSubReferencePrice) VALUES ${values}`]);
  await s.go('showInventoryStatisticsEvent', 'ALLInventoryViewController');
  const rows = () => page.$$eval('#app [data-id="tableView"] > .row',
    (nodes) => nodes.map((n) => Number(n.dataset.row)));
  assert.ok((await rows()).length < 100, 'only a window of the rows is drawn');
  await page.evaluate(() => window.scrollTo(0, document.body.scrollHeight));
  // Newest first: the last row is the first product stored.
  await s.untilCell('tableView', 299, 'itemsNameLbl', 'Item 000');
  const drawn = await rows();
  assert.deepEqual(drawn, drawn.map((_, k) => drawn[0] + k), 'consecutive whole-list indexes');
  await s.tapRow('tableView', 299, 'itemsNameLbl');
  await s.at('OneProductViewController', 'Item 000(0)');
});
