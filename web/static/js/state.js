// What the page remembers between drawings: the last view, and what it needs to carry
// focus, carets, shakes, fades and typed mail fields across redraws. Shared by every
// module; only the page's own bookkeeping lives here, never a decision of the program.
export const state = {
  view: null,
  lastSequence: null,
  shownToasts: new Set(),
  shakes: new Map(),      // "serial/id" -> shake count already shown
  editing: new Map(),     // "serial/id" -> editing flag of the last view
  programmaticFocus: false,
  floatOpacity: new Map(),
  composerEdits: null,    // {serial, to, subject, body} typed into the mail sheet
  lastChart: null,        // last chart event posted, to drop repeats caused by redraws
  composing: null,
  queue: Promise.resolve(),
  inFlight: 0,            // events posted and not yet answered
};

export const appRoot = () => document.getElementById('app');
export const overlayRoot = () => document.getElementById('overlays');
export const toastRoot = () => document.getElementById('toasts');

// A widget's key in the maps above: the same id on another screen is another widget.
export function key(id) {
  return state.view.screen.serial + '/' + id;
}
