// The renderer core: draws the top screen from the program's view tree, replacing the
// screen's nodes on every answer. What must survive a redraw (scroll positions, the
// focused field and its caret, field inputs, typed mail fields) is kept before and put
// back after; widgets and overlays are drawn by their own modules.
import {cssToken, el} from './dom.js';
import {placeFloatBoxes} from './chart.js';
import {keepFieldInputs, keepFocus, rememberFieldFlags, restoreFocus} from './fields.js';
import {rememberComposerEdits, renderOverlays, showToasts} from './overlays.js';
import {appRoot, state} from './state.js';
import {renderBar, renderWidget} from './widgets.js';

// `after`: the caret to set once a text edit has been answered.
export function render(view, after) {
  if (!view || !view.screen) return;
  const previous = state.view;
  const kept = keepState(previous);
  keepFieldInputs(previous && previous.screen.serial === view.screen.serial);
  state.view = view;
  const s = view.screen;

  const root = el('section', {
    class: 'screen' + (s.background ? ' bg-' + cssToken(s.background) : ''),
    'data-screen': s.screen,
    'data-layout': s.layout,
    'data-serial': s.serial,
  });
  const header = el('header', {class: 'header'});
  const left = el('div', {class: 'header-side header-left'});
  const right = el('div', {class: 'header-side header-right'});
  const title = el('h1', {class: 'title', 'data-id': 'title', text: s.title});
  header.append(left, title, right);
  const content = el('section', {class: 'content'});
  let bar = null;

  const widgets = s.widgets || [];
  let card = null;  // consecutive plain labels share one card
  for (let i = 0; i < widgets.length; i++) {
    const w = widgets[i];
    const stepEnd = stepperEnd(widgets, i);
    if (stepEnd > 0) {
      // Previous / period labels / next: one row.
      const labels = el('div', {class: 'stepper-labels'});
      for (let j = i + 1; j < stepEnd; j++) labels.append(renderWidget(widgets[j]));
      content.append(el('div', {class: 'stepper'}, renderWidget(w), labels,
        renderWidget(widgets[stepEnd])));
      card = null;
      i = stepEnd;
      continue;
    }
    if (isPlainLabel(w)) {
      if (!card) {
        card = el('div', {class: 'card'});
        content.append(card);
      }
      const next = widgets[i + 1];
      if (next && isPlainLabel(next) && isValueOf(next, w)) {
        // A name and its value on one line.
        const pair = el('div', {class: 'pair'}, renderWidget(w), renderWidget(next));
        if (w.hidden && next.hidden) pair.hidden = true;
        card.append(pair);
        i++;
      } else {
        card.append(renderWidget(w));
      }
      continue;
    }
    card = null;
    if (w.kind === 'bar') {
      bar = renderBar(w);
      continue;
    }
    // Back buttons and navigation buttons sit in the header, beside the title.
    if (w.kind === 'button' && ['back', 'nav', 'bar'].includes(w.style)) {
      const node = renderWidget(w);
      const leading = w.style === 'back' || /^(back|close|cancel)/i.test(w.action || '');
      (leading ? left : right).append(node);
      continue;
    }
    content.append(renderWidget(w));
  }
  // A standing notice from the program (a damaged ledger), above every screen.
  if (view.banner) {
    root.append(el('div', {class: 'banner', 'data-id': 'banner', role: 'alert', text: view.banner}));
  }
  root.append(header, content);
  if (bar) {
    root.classList.add('has-bar');
    root.append(bar);
  }
  appRoot().replaceChildren(root);
  placeFloatBoxes(root);
  renderOverlays(s);

  animateTransition(root, view.transition);
  showToasts(s.toasts || []);
  restoreState(kept, root, after);
  rememberFieldFlags(s);
  for (const url of view.openURLs || []) {
    if (/^https?:\/\//i.test(url)) window.open(url, '_blank', 'noopener,noreferrer');
  }
}

// A "previous" button, then only labels, then a "next" button: returns the index of the
// next button, or -1.
function stepperEnd(widgets, i) {
  const isStep = (w, re) => w && w.kind === 'button' && re.test(w.action || '');
  if (!isStep(widgets[i], /^(backward|last)/i)) return -1;
  let j = i + 1;
  while (j < widgets.length && widgets[j].kind === 'label') j++;
  return j > i + 1 && isStep(widgets[j], /^(forward|next)/i) ? j : -1;
}

function isPlainLabel(w) {
  return w.kind === 'label' && !w.action && !w.caption;
}

// "showTodaySalesLbl" is named by "showTodaySalesValueText" (or ...ValueLbl, ...Value).
function isValueOf(value, name) {
  const stem = name.id.replace(/(Lbl|Label|Text)$/, '');
  return stem !== name.id && /^(ValueText|ValueLbl|Value)$/.test(value.id.slice(stem.length)) &&
    value.id.startsWith(stem);
}


// Scroll positions, the focused field and the mail sheet's typed fields before a redraw.
function keepState(previous) {
  const kept = {scroll: new Map(), focus: null, windowY: window.scrollY};
  if (!previous) return kept;
  kept.serial = previous.screen.serial;
  for (const node of appRoot().querySelectorAll('.w-table, .content')) {
    kept.scroll.set(node.getAttribute('data-id') || '.content', node.scrollTop);
  }
  kept.focus = keepFocus();
  rememberComposerEdits(previous.screen.serial);
  return kept;
}

// A redraw of the same screen keeps its scroll positions and focus; another screen starts
// at the top.
function restoreState(kept, root, pending) {
  const sameScreen = kept.serial === state.view.screen.serial;
  if (sameScreen) {
    for (const [id, top] of kept.scroll) {
      const node = id === '.content' ? root.querySelector('.content')
        : root.querySelector(`.w-table[data-id="${CSS.escape(id)}"]`);
      if (node) node.scrollTop = top;
    }
    window.scrollTo(0, kept.windowY);
  } else {
    window.scrollTo(0, 0);
  }
  restoreFocus(root, pending, sameScreen ? kept.focus : null);
}

function animateTransition(root, transition) {
  if (!transition) return;
  const changed = state.lastSequence !== null && transition.sequence !== state.lastSequence;
  state.lastSequence = transition.sequence;
  if (!changed || !transition.animated) return;
  const cls = transition.kind === 'pop' ? 'slide-pop' : 'slide-push';
  root.classList.add(cls);
  root.addEventListener('animationend', () => root.classList.remove(cls), {once: true});
}
