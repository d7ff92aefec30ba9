// The column chart and the value boxes that stand beside its columns. Pointer visits
// become chart events (enter, leave, leaveChart, select); the program decides what they
// show.
import {base, el, isColor, svg, text} from './dom.js';
import {appRoot, state} from './state.js';
import {post} from './transport.js';

function chartEvent(id, value, index) {
  const last = state.lastChart;
  // Redrawing puts a new column under a resting pointer; that is not a new visit.
  if (last && last.id === id && last.value === value && last.index === index &&
      value !== 'select') return;
  state.lastChart = {id, value, index};
  post({type: 'chart', id, value, index});
}

// A finger rests where it touches: the column under it is entered (the one it slides off
// is left) and stays entered after the finger lifts, until a touch elsewhere. A mouse
// enters and leaves by hovering.
function touchColumn(id, ev) {
  const hit = document.elementFromPoint(ev.clientX, ev.clientY);
  const g = hit && hit.closest(`[data-id="${CSS.escape(id)}"] [data-column]`);
  if (!g) return;
  const index = Number(g.getAttribute('data-column'));
  const last = state.lastChart;
  if (last && last.id === id && last.value === 'enter' && last.index !== index) {
    chartEvent(id, 'leave', last.index);
  }
  chartEvent(id, 'enter', index);
}

export function onTouchElsewhere(ev) {
  const last = state.lastChart;
  if (ev.pointerType !== 'touch' || !last || last.value === 'leaveChart') return;
  if (ev.target instanceof Element && ev.target.closest('.w-chart')) return;
  if (!appRoot().querySelector(`.w-chart[data-id="${CSS.escape(last.id)}"]`)) return;
  chartEvent(last.id, 'leaveChart', -1);
}

export function renderChart(w) {
  const width = Number(w.width) || 300;
  const height = Number(w.height) || 200;
  const node = svg('svg', {class: 'w w-chart', 'data-id': w.id,
    viewBox: `0 0 ${width} ${height}`, preserveAspectRatio: 'none', role: 'img'});
  if (w.hidden) node.setAttribute('visibility', 'hidden');
  const cols = w.columns || [];
  const labelSpace = 18;
  const plot = height - labelSpace - 4;
  const highest = Number(w.highest) > 0 ? Number(w.highest)
    : Math.max(0, ...cols.map((c) => Number(c.value) || 0));
  const step = cols.length ? width / cols.length : width;
  const mouse = (ev) => ev.pointerType !== 'touch';
  node.append(svg('line', {class: 'axis', x1: 0, x2: width, y1: plot + 2, y2: plot + 2}));
  cols.forEach((c, i) => {
    const value = Number(c.value) || 0;
    const h = highest > 0 ? Math.max(0, value / highest) * (plot - 4) : 0;
    const g = svg('g', {class: 'column' + (i === w.selected ? ' selected' : ''),
      'data-column': i});
    g.append(svg('rect', {class: 'hit', x: i * step, y: 0, width: step, height}));
    const bar = svg('rect', {class: 'bar-rect', x: i * step + step * 0.18, y: plot + 2 - h,
      width: step * 0.64, height: h, rx: 2});
    if (isColor(c.color)) bar.style.fill = c.color;
    g.append(bar);
    const label = svg('text', {class: 'col-label', x: i * step + step / 2, y: height - 4,
      'text-anchor': 'middle'});
    label.textContent = text(c.label);
    g.append(label);
    g.addEventListener('pointerenter', (ev) => mouse(ev) && chartEvent(w.id, 'enter', i));
    g.addEventListener('pointerleave', (ev) => mouse(ev) && chartEvent(w.id, 'leave', i));
    g.addEventListener('click', () => chartEvent(w.id, 'select', i));
    node.append(g);
  });
  node.addEventListener('pointerleave', (ev) => mouse(ev) && chartEvent(w.id, 'leaveChart', -1));
  node.addEventListener('pointerdown', (ev) => !mouse(ev) && touchColumn(w.id, ev));
  node.addEventListener('pointermove', (ev) => !mouse(ev) && touchColumn(w.id, ev));
  const box = el('div', {class: 'chart-wrap'});
  box.append(node);
  return box;
}

export function renderFloatBox(w) {
  const node = base(w, 'div', 'floatbox', {text: w.text, role: 'status',
    'data-column': Number(w.column), 'data-side': w.side === 'left' ? 'left' : 'right',
    'data-gap': Number(w.gap) || 0});
  const target = w.visible === false ? 0 : (w.opacity === undefined ? 1 : Number(w.opacity));
  // A box seen for the first time fades in too.
  const from = state.floatOpacity.has(w.id) ? state.floatOpacity.get(w.id) : 0;
  node.style.opacity = String(from);
  state.floatOpacity.set(w.id, target);
  if (from !== target) {
    // Start from the old opacity so the change fades instead of jumping.
    requestAnimationFrame(() => requestAnimationFrame(() => {
      node.style.opacity = String(target);
      node.classList.toggle('faded', target === 0);
    }));
  } else if (target === 0) {
    node.classList.add('faded');
  }
  return node;
}

// Each value box stands beside the bar of its column as drawn: on its side, `gap` bar
// widths away, its foot as far above the bar's top; then it is moved fully into the
// viewport where it would cross an edge.
export function placeFloatBoxes(root) {
  for (const box of root.querySelectorAll('.w-floatbox[data-column]')) {
    const bar = root.querySelector(`.w-chart [data-column="${box.dataset.column}"] .bar-rect`);
    const parent = box.offsetParent;
    if (!bar || !parent) continue;
    const r = bar.getBoundingClientRect();
    const gap = Number(box.dataset.gap) * r.width;
    const w = box.offsetWidth;
    const h = box.offsetHeight;
    const margin = 2;
    let left = box.dataset.side === 'left' ? r.left - gap - w : r.right + gap;
    let top = r.top - gap - h;
    left = Math.max(margin, Math.min(left, document.documentElement.clientWidth - w - margin));
    top = Math.max(margin, Math.min(top, window.innerHeight - h - margin));
    const p = parent.getBoundingClientRect();
    box.style.left = (left - p.left - parent.clientLeft) + 'px';
    box.style.top = (top - p.top - parent.clientTop) + 'px';
  }
}
