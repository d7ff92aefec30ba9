// The browser's history as the program's screen stack, and what ends with a screen.
//
// The page keeps a history entry for every screen the stack has grown by: one at the first
// drawing (the dashboard's) and one more at every push. A step back through those entries
// (the browser's or the phone's back button) is posted as a back event, and the program
// decides what it does: the top screen's back action, or nothing where the screen has none.
// The page never goes back through the history itself; when the stack shrinks on its own
// (a save, the header's back button) the entries above stay, and a later step back is still
// one back event. Whenever fewer entries are left than screens are stacked, they are pushed
// again, so a step back never leaves the app.
import {toastRoot} from './state.js';
import {post} from './transport.js';

let position = null;  // the entry the browser is on: its number, counted from the page's first

function entry(n) {
  return {marrowkeeperEntry: n};
}

// After every drawing: entries up to the stack's depth.
export function followStack(view) {
  if (position === null) {
    position = 0;
    history.replaceState(entry(0), '');
  }
  const depth = Math.max(1, Number(view.depth) || 1);
  while (position < depth) {
    position++;
    history.pushState(entry(position), '');
  }
}

function onPopState(ev) {
  const n = ev.state && Number.isInteger(ev.state.marrowkeeperEntry)
    ? ev.state.marrowkeeperEntry : 0;
  const steps = position === null ? 0 : position - n;
  position = n;
  // A step forward has nothing to redo; one back event per step back.
  for (let i = 0; i < steps; i++) post({type: 'back'});
}

export function listenForBack() {
  window.addEventListener('popstate', onPopState);
}

// Toasts and pop-ups belong to the screen that showed them: another screen on top ends them.
export function endToastsOfOtherScreens(serial) {
  for (const node of toastRoot().querySelectorAll('[data-serial]')) {
    if (node.getAttribute('data-serial') !== String(serial)) node.remove();
  }
}

// Screen readers read the page in the program's language.
export function setLanguage(code) {
  if (code && document.documentElement.lang !== code) document.documentElement.lang = code;
}

// Keyboard focus on a control (not a text field: fields.js keeps those) survives the
// redraw of its screen, so keys go on from where they were.
const MARKS = ['data-id', 'data-action', 'data-row', 'data-column', 'data-sheet-index'];

function selectorOf(node) {
  const marks = MARKS.filter((m) => node.hasAttribute(m))
    .map((m) => `[${m}="${CSS.escape(node.getAttribute(m))}"]`);
  if (!marks.length) return null;
  const own = node.tagName.toLowerCase() + marks.join('');
  const scope = node.parentElement && node.parentElement.closest('[data-id]');
  return scope ? `[data-id="${CSS.escape(scope.getAttribute('data-id'))}"] ${own}` : own;
}

export function keepControlFocus(view) {
  const a = document.activeElement;
  if (!view || !a || a === document.body || a.classList.contains('field-input')) return null;
  const root = a.closest('#app, #overlays');
  const selector = root && selectorOf(a);
  return selector ? {serial: view.screen.serial, root: root.id, selector} : null;
}

export function restoreControlFocus(kept, view) {
  if (!kept || kept.serial !== view.screen.serial) return;
  const active = document.activeElement;
  if (active && active !== document.body) return;
  const node = document.getElementById(kept.root).querySelector(kept.selector);
  if (node && typeof node.focus === 'function') node.focus({preventScroll: true});
}
