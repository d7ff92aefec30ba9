// The plain widgets: labels, buttons, images, the bar, tables with their cells, date
// pickers and segmented selectors; and renderWidget(), which picks the drawing for a
// widget's kind (fields, the chart and value boxes have modules of their own).
import {base, cssToken, el, icon, applyColor, withCaption} from './dom.js';
import {renderChart, renderFloatBox} from './chart.js';
import {renderField} from './fields.js';
import {post} from './transport.js';

export function renderWidget(w) {
  switch (w.kind) {
    case 'label': return withCaption(w, renderLabel(w));
    case 'field': return withCaption(w, renderField(w));
    case 'button': return withCaption(w, renderButton(w));
    case 'image': return withCaption(w, renderImage(w));
    case 'table': return renderTable(w);
    case 'datepicker': return withCaption(w, renderDatePicker(w));
    case 'segment': return renderSegment(w);
    case 'chart': return renderChart(w);
    case 'floatbox': return renderFloatBox(w);
    case 'bar': return renderBar(w);
    default: return base(w, 'div', 'unknown', {text: w.text || ''});
  }
}

function renderImage(w) {
  const node = base(w, 'span', 'image', {});
  node.append(icon(w.image));
  return node;
}

function renderLabel(w) {
  const node = base(w, 'div', w.action ? 'clickable' : '', {text: w.text});
  applyColor(node, w.color);
  if (w.action) {
    node.setAttribute('data-action', w.action);
    node.setAttribute('role', 'button');
    node.tabIndex = 0;
    node.append(icon('arrow'));
    node.addEventListener('click', () => post({type: 'tap', action: w.action, id: w.id}));
  }
  return node;
}

function renderButton(w) {
  const cls = 'btn' + (w.style ? ' btn-' + cssToken(w.style) : '');
  const node = base(w, 'button', cls, {type: 'button', 'data-action': w.action,
    'aria-label': w.title || w.image || w.action});
  if (w.image) node.append(icon(w.image));
  if (w.title) node.append(el('span', {class: 'btn-title', text: w.title}));
  node.addEventListener('click', () => post({type: 'tap', action: w.action, id: w.id}));
  return node;
}

export function renderBar(w) {
  const node = base(w, 'nav', 'bar', {});
  (w.items || []).forEach((item, i) => {
    const b = el('button', {type: 'button', class: 'bar-item' + (i === w.current ? ' current' : ''),
      'data-id': item.id, 'data-action': item.action,
      'aria-current': i === w.current ? 'page' : null});
    b.append(icon(item.image || item.action), el('span', {class: 'bar-title', text: item.title}));
    b.addEventListener('click', () => post({type: 'tap', action: item.action, id: item.id}));
    node.append(b);
  });
  return node;
}

function renderTable(w) {
  const node = base(w, 'div', 'table', {role: 'list'});
  node.style.setProperty('--row-height', (Number(w.rowHeight) || 44) + 'px');
  if (w.scrollEnabled === false) node.classList.add('no-scroll');
  (w.rows || []).forEach((row, i) => {
    const r = el('div', {class: 'row row-' + cssToken(row.layout), 'data-row': i,
      role: 'listitem', tabindex: 0});
    for (const f of row.fields || []) r.append(renderCell(w, f, i));
    if (row.arrow) r.append(el('span', {class: 'row-arrow'}, icon('cell_Arrow')));
    r.addEventListener('click', (ev) => {
      if (ev.target.closest('[data-action]')) return;
      post({type: 'row', id: w.id, row: i});
    });
    node.append(r);
  });
  return node;
}

function renderCell(table, f, rowIndex) {
  let node;
  if (f.action) {
    node = el('button', {type: 'button', class: 'cell cell-button', 'data-id': f.name,
      'data-action': f.action, 'data-row': rowIndex, 'aria-label': f.text || f.image || f.action});
    if (f.image) node.append(icon(f.image));
    if (f.text) node.append(el('span', {text: f.text}));
    node.addEventListener('click', (ev) => {
      ev.stopPropagation();
      post({type: 'tap', action: f.action, id: table.id, row: rowIndex});
    });
  } else {
    node = el('span', {class: 'cell', 'data-id': f.name, text: f.text});
    if (f.image) node.prepend(icon(f.image));
  }
  applyColor(node, f.color);
  if (f.hidden) node.hidden = true;
  return node;
}

function renderDatePicker(w) {
  const node = base(w, 'input', '', {type: 'date', value: w.date || ''});
  node.addEventListener('change', () => {
    if (/^\d{4}-\d{2}-\d{2}$/.test(node.value)) post({type: 'date', id: w.id, value: node.value});
  });
  return node;
}

function renderSegment(w) {
  const node = base(w, 'div', 'segment', {role: 'tablist'});
  (w.items || []).forEach((item, i) => {
    const b = el('button', {type: 'button', class: 'segment-item' + (i === w.selected ? ' selected' : ''),
      'data-index': i, role: 'tab', 'aria-selected': i === w.selected ? 'true' : 'false',
      text: item});
    b.addEventListener('click', () => post({type: 'segment', id: w.id, index: i}));
    node.append(b);
  });
  return node;
}
