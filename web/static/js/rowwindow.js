// Long tables arrive in windows: the rows from `first` on and the list's length
// (`rowCount`). The rows before and after the window are drawn as spacers of their height,
// so the scroll bar and the scroll position are those of the whole list; `data-row` stays a
// row's index in the whole list. As the list scrolls the page asks for the window around
// what is visible ({type: 'window', id, first}), in turn with the other events, and draws
// the answer like any other, with the rows in view kept where they were.
import {el} from './dom.js';
import {appRoot, state} from './state.js';
import {post} from './transport.js';

// A window is asked for when fewer than EDGE rows lie between what is visible and an edge
// of the window that is not the list's; it starts LEAD rows above the first visible row.
const LEAD = 24;
const EDGE = 8;

const rowHeights = new Map();  // "screen/table" -> a row's height as last measured (CSS px)
const asking = new Set();      // tables with a window request not yet drawn

const windowed = (root) => root.querySelectorAll('.w-table[data-row-count]');
const heightKey = (id) => state.view.screen.screen + '/' + id;

// Called by the table's drawing: marks a windowed table and puts the spacers around its rows.
export function frameWindow(node, w) {
  const first = Number(w.first) || 0;
  const after = w.rowCount - first - (w.rows || []).length;
  const height = rowHeights.get(heightKey(w.id)) || Number(w.rowHeight) || 44;
  node.setAttribute('data-first', first);
  node.setAttribute('data-row-count', w.rowCount);
  if (first > 0) node.prepend(spacer('before', first * height));
  if (after > 0) node.append(spacer('after', after * height));
}

function spacer(side, height) {
  const node = el('div', {class: 'row-spacer', 'data-spacer': side, 'aria-hidden': 'true'});
  node.style.height = height + 'px';
  return node;
}

// The drawn part of a table: its first row's index, its rows, the list's length.
function drawn(table) {
  return {first: Number(table.dataset.first), rows: table.querySelectorAll(':scope > .row'),
    total: Number(table.dataset.rowCount)};
}

// The band of the viewport the rows show in: below the header, above the bar.
function band() {
  const header = appRoot().querySelector('.header');
  const bar = appRoot().querySelector('.bar');
  return {top: header ? Math.max(0, header.getBoundingClientRect().bottom) : 0,
    bottom: Math.min(window.innerHeight, bar ? bar.getBoundingClientRect().top : Infinity)};
}

// Sets the spacers to the height the drawn rows have on average.
function fitSpacers(table) {
  const {first, rows, total} = drawn(table);
  if (!rows.length) return;
  const height = (rows[rows.length - 1].getBoundingClientRect().bottom -
    rows[0].getBoundingClientRect().top) / rows.length;
  if (!(height > 0)) return;
  rowHeights.set(heightKey(table.dataset.id), height);
  const before = table.querySelector(':scope > [data-spacer="before"]');
  const after = table.querySelector(':scope > [data-spacer="after"]');
  if (before) before.style.height = first * height + 'px';
  if (after) after.style.height = (total - first - rows.length) * height + 'px';
}

// The index of the row at viewport height `y`; rows outside the window by their height.
function rowAt(table, y) {
  const {first, rows, total} = drawn(table);
  const top = rows[0].getBoundingClientRect().top;
  const bottom = rows[rows.length - 1].getBoundingClientRect().bottom;
  const height = (bottom - top) / rows.length;
  let i = first + Math.floor((y - top) / height);
  if (y >= bottom) i = first + rows.length + Math.floor((y - bottom) / height);
  return Math.min(Math.max(i, 0), total - 1);
}

// The window the table should show, or null when the one drawn serves what is visible.
function wanted(table) {
  const {first, rows, total} = drawn(table);
  const view = band();
  const rect = table.getBoundingClientRect();
  const top = Math.max(view.top, rect.top);
  const bottom = Math.min(view.bottom, rect.bottom);
  if (!rows.length || bottom <= top) return null;
  const a = rowAt(table, top);
  const b = rowAt(table, bottom - 1);
  const end = first + rows.length;
  if (!(first > 0 && a < first + EDGE) && !(end < total && b >= end - EDGE)) return null;
  const want = Math.min(Math.max(a - LEAD, 0), total - rows.length);
  return want === first ? null : want;
}

function checkWindows() {
  for (const table of windowed(appRoot())) {
    const id = table.dataset.id;
    if (asking.has(id) || wanted(table) === null) continue;
    asking.add(id);
    // Built when its turn comes, against the page drawn from the answer before.
    post(() => {
      const now = appRoot().querySelector(`.w-table[data-row-count][data-id="${CSS.escape(id)}"]`);
      const first = now ? wanted(now) : null;
      if (first === null) {
        asking.delete(id);
        return null;
      }
      return {event: {type: 'window', id, first}};
    });
  }
}

let frame = 0;
function scheduleCheck() {
  if (!frame) frame = requestAnimationFrame(() => {
    frame = 0;
    checkWindows();
  });
}

export function watchWindows() {
  document.addEventListener('scroll', scheduleCheck, {capture: true, passive: true});
  window.addEventListener('resize', scheduleCheck);
}

// Before a redraw: per windowed table, the first row in view and where it is, and the row
// that has the focus.
export function keepWindows() {
  const kept = {serial: state.view && state.view.screen.serial, tables: new Map()};
  const view = band();
  for (const table of windowed(appRoot())) {
    const row = [...drawn(table).rows].find((r) => r.getBoundingClientRect().bottom > view.top);
    const focused = document.activeElement && document.activeElement.closest('.row');
    kept.tables.set(table.dataset.id, {
      row: row ? row.dataset.row : null, top: row ? row.getBoundingClientRect().top : 0,
      focused: focused && table.contains(focused) ? focused.dataset.row : null,
    });
  }
  return kept;
}

// Scrolls whatever scrolls the table: the table itself when it does, else the page.
function scrollTableBy(table, dy) {
  if (table.scrollHeight > table.clientHeight + 1 && getComputedStyle(table).overflowY !== 'hidden') {
    table.scrollTop += dy;
  } else {
    window.scrollBy(0, dy);
  }
}

// After a redraw: the row that was in view stays where it was; when the window no longer
// holds it (another list, or a screen shown again) the window's rows come into view.
export function restoreWindows(root, kept) {
  asking.clear();
  const same = kept && kept.serial === state.view.screen.serial;
  for (const table of windowed(root)) {
    fitSpacers(table);
    const was = same ? kept.tables.get(table.dataset.id) : null;
    const rowNode = (i) => i === null || i === undefined ? null
      : table.querySelector(`:scope > .row[data-row="${i}"]`);
    const anchor = was && rowNode(was.row);
    const first = Number(table.dataset.first);
    if (anchor) {
      scrollTableBy(table, anchor.getBoundingClientRect().top - was.top);
    } else if (first > 0) {
      const row = rowNode(Math.min(first + LEAD, first + drawn(table).rows.length - 1));
      if (row) scrollTableBy(table, row.getBoundingClientRect().top - band().top);
    } else if (was && was.row !== null) {
      table.scrollTop = 0;
      const top = table.getBoundingClientRect().top - band().top;
      if (top < 0) window.scrollBy(0, top);
    }
    const focused = was && rowNode(was.focused);
    if (focused) focused.focus({preventScroll: true});
  }
  scheduleCheck();
}
