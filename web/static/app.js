// Draws the top screen from the program's view tree and posts the user's events back.
// All decisions (what a tap does, whether a keystroke is allowed) are made by the program;
// this page only renders and reports. Ledger texts go in through textContent and
// attribute setters only.
//
// The modules, from the bottom up: js/state.js (what the page remembers), js/dom.js
// (nodes, icons), js/transport.js (the event queue and the view loop), js/fields.js
// (fields and typing), js/chart.js, js/widgets.js, js/overlays.js and js/render.js (the
// renderer core). This entry wires them and listens to the page as a whole.
import {onTouchElsewhere} from './js/chart.js';
import {el} from './js/dom.js';
import {render} from './js/render.js';
import {appRoot, state} from './js/state.js';
import {onView, post, reportScreenSize} from './js/transport.js';

function onBackgroundClick(ev) {
  if (!state.view) return;
  const t = ev.target;
  if (!(t instanceof Element)) return;
  if (!t.closest('#app')) return;
  if (t.closest('input, textarea, button, a, select, [data-action], [data-row], [data-index], ' +
      '[data-column], .bar, .header-side')) return;
  if (document.activeElement && document.activeElement.blur) document.activeElement.blur();
  post({type: 'background'});
}

function onKeyDown(ev) {
  const t = ev.target;
  if ((ev.key === 'Enter' || ev.key === ' ') && t instanceof Element &&
      t.matches('[role="button"], .row, .alert-row')) {
    ev.preventDefault();
    t.click();
  }
}

let resizeTimer = null;
function onResize() {
  clearTimeout(resizeTimer);
  resizeTimer = setTimeout(() => reportScreenSize(false), 150);
}

async function start() {
  onView(render);
  document.addEventListener('click', onBackgroundClick);
  document.addEventListener('pointerdown', onTouchElsewhere);
  document.addEventListener('keydown', onKeyDown);
  window.addEventListener('resize', onResize);
  // The program picks layouts by pixel size, so tell it before the first drawing.
  await reportScreenSize(true);
}

start().catch((err) => {
  console.error(err);
  const msg = el('p', {class: 'fatal', text: 'The ledger could not be reached. Is it running?'});
  appRoot().replaceChildren(msg);
});
