// Draws the top screen from the program's view tree and posts the user's events back.
// All decisions (what a tap does, whether a keystroke is allowed) are made by the program;
// this page only renders and reports. Ledger texts go in through textContent and
// attribute setters only.
'use strict';

(() => {
  const SVG_NS = 'http://www.w3.org/2000/svg';

  const state = {
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

  // ------------------------------------------------------------------------------------
  // Talking to the program.

  async function api(method, path, body) {
    const init = {method, credentials: 'same-origin', cache: 'no-store', headers: {}};
    if (body !== undefined) {
      init.headers['Content-Type'] = 'application/json';
      init.body = JSON.stringify(body);
    }
    const res = await fetch(path, init);
    let data = null;
    const type = res.headers.get('Content-Type') || '';
    if (type.startsWith('application/json')) data = await res.json();
    return {status: res.status, data};
  }

  // Events go out one at a time, each naming the screen it was made on. An event may be
  // given as a function that builds it when its turn comes, against the page as drawn
  // from the previous answer (text edits need the field's text and caret of that moment).
  function post(event) {
    state.inFlight++;
    state.queue = state.queue.then(() => send(event)).catch((err) => {
      console.error('event failed', err);
    }).finally(() => {
      state.inFlight--;
    });
    return state.queue;
  }

  // Runs a page-only step in turn with the events before it.
  function later(fn) {
    state.queue = state.queue.then(fn).catch((err) => console.error(err));
  }

  async function send(intent) {
    if (!state.view) return;
    let event = intent;
    let after = null;
    if (typeof intent === 'function') {
      const built = intent();
      if (!built) return;
      event = built.event;
      after = built.after || null;
    }
    const body = Object.assign({serial: state.view.screen.serial}, event);
    const res = await api('POST', '/api/event', body);
    if (res.status === 200 && res.data) {
      render(res.data, after);
      return;
    }
    if (res.data && res.data.error) console.warn('event refused:', res.status, res.data.error);
    // Stale or refused: draw what the program shows now.
    await refresh(after);
  }

  async function refresh(after) {
    const res = await api('GET', '/api/view');
    if (res.status === 200 && res.data) render(res.data, after || null);
  }

  function pixelSize() {
    const ratio = window.devicePixelRatio || 1;
    return {
      width: Math.round(window.innerWidth * ratio),
      height: Math.round(window.innerHeight * ratio),
    };
  }

  async function reportScreen() {
    const res = await api('POST', '/api/screen', pixelSize());
    return res.status === 200 ? res.data : null;
  }

  // ------------------------------------------------------------------------------------
  // Small DOM helpers.

  function el(tag, attrs, ...children) {
    const node = document.createElement(tag);
    setAttrs(node, attrs);
    for (const child of children) {
      if (child === null || child === undefined) continue;
      node.append(typeof child === 'string' ? document.createTextNode(child) : child);
    }
    return node;
  }

  function svg(tag, attrs) {
    const node = document.createElementNS(SVG_NS, tag);
    setAttrs(node, attrs);
    return node;
  }

  function setAttrs(node, attrs) {
    if (!attrs) return;
    for (const [key, value] of Object.entries(attrs)) {
      if (value === null || value === undefined || value === false) continue;
      if (key === 'text') node.textContent = String(value);
      else if (key === 'class') node.setAttribute('class', value);
      else node.setAttribute(key, value === true ? '' : String(value));
    }
  }

  function text(value) {
    return value === null || value === undefined ? '' : String(value);
  }

  // Colours arrive as CSS colour names; anything else is ignored.
  function applyColor(node, color) {
    if (color && /^[a-zA-Z]+$|^#[0-9a-fA-F]{3,8}$/.test(color)) node.style.color = color;
  }

  function cssToken(value) {
    return text(value).replace(/[^a-zA-Z0-9_-]/g, '');
  }

  // Code points <-> UTF-16 offsets: the program counts code points.
  function codePoints(str) {
    let n = 0;
    for (const _ of str) n++;  // eslint-disable-line no-unused-vars
    return n;
  }

  function utf16Offset(str, cp) {
    let offset = 0;
    let count = 0;
    for (const ch of str) {
      if (count >= cp) break;
      offset += ch.length;
      count++;
    }
    return offset;
  }

  // ------------------------------------------------------------------------------------
  // Icons, drawn from simple shapes by name.

  const ICON_PATHS = {
    chevronRight: 'M9 5l7 7-7 7',
    chevronLeft: 'M15 5l-7 7 7 7',
    plus: 'M12 5v14M5 12h14',
    cross: 'M6 6l12 12M18 6L6 18',
    trash: 'M5 7h14M10 7V5h4v2M7 7l1 12h8l1-12',
    pencil: 'M4 20l4-1 11-11-3-3L5 16l-1 4z',
    check: 'M5 12l5 5 9-10',
    home: 'M4 11l8-7 8 7v9h-5v-6H9v6H4z',
    down: 'M12 4v14M6 12l6 6 6-6',
    up: 'M12 20V6M6 12l6-6 6 6',
    dots: 'M5 12h.01M12 12h.01M19 12h.01',
    chart: 'M5 20V10M10 20V4M15 20v-8M20 20v-5',
    mail: 'M3 6h18v12H3zM3 6l9 7 9-7',
    list: 'M8 6h12M8 12h12M8 18h12M4 6h.01M4 12h.01M4 18h.01',
    star: 'M12 3l2.7 5.6 6.1.9-4.4 4.3 1 6.1L12 17l-5.4 2.9 1-6.1L3.2 9.5l6.1-.9z',
    calendar: 'M4 6h16v14H4zM4 10h16M8 3v4M16 3v4',
    person: 'M12 12a4 4 0 100-8 4 4 0 000 8zM4 21c1-4 4-6 8-6s7 2 8 6',
    box: 'M4 8l8-4 8 4v8l-8 4-8-4zM4 8l8 4 8-4M12 12v8',
    circle: 'M12 4a8 8 0 100 16 8 8 0 000-16z',
  };

  function iconName(name) {
    const n = text(name).toLowerCase();
    const rules = [
      [/back|left|return|previous|last/, 'chevronLeft'],
      [/arrow|next|right|disclosure|forward/, 'chevronRight'],
      [/delete|trash|remove/, 'trash'],
      [/close|cancel|clear/, 'cross'],
      [/add|plus|new/, 'plus'],
      [/edit|pencil/, 'pencil'],
      [/save|done|ok|check/, 'check'],
      [/inventory|home|dashboard/, 'home'],
      [/initems|purchase|in_|buy/, 'down'],
      [/outitems|sales|out_|sell/, 'up'],
      [/more|dots/, 'dots'],
      [/stat|chart/, 'chart'],
      [/mail|feedback/, 'mail'],
      [/list|bookmark/, 'list'],
      [/rate|star|store/, 'star'],
      [/date|calendar/, 'calendar'],
      [/customer|supplier|person|partner/, 'person'],
      [/product|box/, 'box'],
    ];
    for (const [re, icon] of rules) if (re.test(n)) return icon;
    return 'circle';
  }

  function icon(name) {
    const node = svg('svg', {class: 'icon', viewBox: '0 0 24 24', 'aria-hidden': 'true',
      'data-image': text(name)});
    node.append(svg('path', {d: ICON_PATHS[iconName(name)]}));
    return node;
  }

  // ------------------------------------------------------------------------------------
  // Rendering.

  const appRoot = () => document.getElementById('app');
  const overlayRoot = () => document.getElementById('overlays');
  const toastRoot = () => document.getElementById('toasts');

  function key(id) {
    return state.view.screen.serial + '/' + id;
  }

  // `after`: the caret to set once a text edit has been answered.
  function render(view, after) {
    if (!view || !view.screen) return;
    const previous = state.view;
    const kept = keepState(previous);
    reusableInputs.clear();
    if (previous && previous.screen.serial === view.screen.serial) {
      for (const input of appRoot().querySelectorAll('.field-input')) {
        reusableInputs.set(input.getAttribute('data-id'), input);
      }
    }
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
    rememberFlags(s);
    for (const url of view.openURLs || []) {
      if (/^https?:\/\//i.test(url)) window.open(url, '_blank', 'noopener,noreferrer');
    }
    pollWhileBusy(view.busy);
  }

  // While the program works on something outside its lock (a mail on its way), its outcome
  // changes the view without an event of ours: ask for the view again now and then.
  let pollTimer = null;
  function pollWhileBusy(busy) {
    clearTimeout(pollTimer);
    pollTimer = busy ? setTimeout(() => later(() => refresh()), 300) : null;
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

  function rememberFlags(s) {
    for (const w of s.widgets || []) {
      if (w.kind === 'field') {
        state.shakes.set(key(w.id), w.shake || 0);
        state.editing.set(key(w.id), !!w.editing);
      }
    }
  }

  function base(w, tag, cls, attrs) {
    const node = el(tag, Object.assign({class: 'w w-' + w.kind + (cls ? ' ' + cls : ''),
      'data-id': w.id}, attrs || {}));
    if (w.hidden) node.hidden = true;
    return node;
  }

  // A caption beside a control makes a form row.
  function withCaption(w, control) {
    if (!w.caption) return control;
    const row = el('div', {class: 'form-row'}, el('span', {class: 'caption', text: w.caption}),
      control);
    if (w.hidden) row.hidden = true;
    return row;
  }

  function renderWidget(w) {
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

  function renderBar(w) {
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

  function onTouchElsewhere(ev) {
    const last = state.lastChart;
    if (ev.pointerType !== 'touch' || !last || last.value === 'leaveChart') return;
    if (ev.target instanceof Element && ev.target.closest('.w-chart')) return;
    if (!appRoot().querySelector(`.w-chart[data-id="${CSS.escape(last.id)}"]`)) return;
    chartEvent(last.id, 'leaveChart', -1);
  }

  function renderChart(w) {
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
      if (c.color && /^[a-zA-Z]+$|^#[0-9a-fA-F]{3,8}$/.test(c.color)) bar.style.fill = c.color;
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

  function renderFloatBox(w) {
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
  function placeFloatBoxes(root) {
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

  // ---- text fields ---------------------------------------------------------------------

  // Field inputs survive redraws of the same screen, so that the caret the user moves
  // while an edit is on its way is not lost.
  const reusableInputs = new Map();

  function renderField(w) {
    let input = reusableInputs.get(w.id);
    reusableInputs.delete(w.id);
    if (input && (input.tagName === 'TEXTAREA') !== !!w.multiline) input = null;
    if (!input) input = createFieldInput(w);
    input._w = w;
    setAttrs(input, {
      placeholder: w.placeholder || null,
      enterkeyhint: w.returnKey || 'done',
      inputmode: {decimal: 'decimal', email: 'email', phone: 'tel'}[w.keyboard] || 'text',
    });
    if (!w.placeholder) input.removeAttribute('placeholder');
    input._selBefore = [input.selectionStart, input.selectionEnd];
    if (input.value !== text(w.text)) input.value = text(w.text);
    const wrap = base(w, 'div', 'field', {});
    wrap.removeAttribute('data-id');
    wrap.append(input);
    if (w.clearButton) {
      const clear = el('button', {type: 'button', class: 'clear', 'data-clear': w.id,
        'aria-label': 'clear', tabindex: -1}, icon('clear'));
      clear.hidden = !input.value;
      clear.addEventListener('mousedown', (ev) => ev.preventDefault());
      clear.addEventListener('click', () => {
        postText(w.id, (value) => ({start: 0, end: value.length, replacement: ''}));
      });
      wrap.append(clear);
    }
    const shown = state.shakes.get(key(w.id));
    if (shown !== undefined && (w.shake || 0) > shown) {
      wrap.classList.add('shake');
      wrap.addEventListener('animationend', () => wrap.classList.remove('shake'), {once: true});
    }
    return wrap;
  }

  // The listeners read the field's latest description from input._w.
  function createFieldInput(w) {
    const attrs = {autocomplete: 'off', autocapitalize: 'off', spellcheck: 'false'};
    const input = w.multiline ? el('textarea', Object.assign({rows: 4}, attrs))
      : el('input', Object.assign({type: w.keyboard === 'password' ? 'password' : 'text'}, attrs));
    input.setAttribute('data-id', w.id);
    input.className = 'field-input';
    const id = w.id;
    input.addEventListener('beforeinput', (ev) => onBeforeInput(ev, input, input._w));
    input.addEventListener('keydown', (ev) => {
      if (state.inFlight > 0 && CARET_KEYS.has(ev.key) && !ev.ctrlKey && !ev.metaKey &&
          !ev.altKey && !ev.isComposing) {
        // Edits typed before this key are still on their way: move the caret after them.
        ev.preventDefault();
        const key = ev.key;
        const extend = ev.shiftKey;
        later(() => moveCaret(id, key, extend));
        return;
      }
      if (state.inFlight > 0 && (ev.ctrlKey || ev.metaKey) && !ev.altKey &&
          (ev.key === 'a' || ev.key === 'A')) {
        // Select-all typed behind pending edits: select once they have been answered.
        ev.preventDefault();
        later(() => {
          const field = fieldInput(id);
          if (field) field.setSelectionRange(0, field.value.length);
        });
        return;
      }
      const multiline = input._w.multiline;
      if (ev.key === 'Enter' && !ev.isComposing && !(multiline && !ev.ctrlKey && !ev.metaKey)) {
        ev.preventDefault();
        post({type: 'return', id});
      }
    });
    input.addEventListener('focus', () => {
      if (state.programmaticFocus) return;
      // Tell the program the field is being edited, unless it already knows.
      post(() => {
        const now = (state.view.screen.widgets || []).find((x) => x.kind === 'field' &&
          x.id === id);
        return now && !now.editing ? {event: {type: 'focus', id}} : null;
      });
    });
    input.addEventListener('compositionstart', () => {
      state.composing = {value: input.value, start: input.selectionStart, end: input.selectionEnd};
    });
    input.addEventListener('compositionend', (ev) => {
      const c = state.composing;
      state.composing = null;
      if (!c) return;
      // The composition changed the box directly; put it back and ask the program.
      input.value = c.value;
      input.setSelectionRange(c.start, c.end);
      const data = ev.data || '';
      postText(id, (value, start, end) => ({start, end, replacement: data}));
    });
    input.addEventListener('input', () => {
      if (state.composing) return;
      // A change that came without a cancellable beforeinput (autofill and the like):
      // report it as a replacement of the whole text.
      const before = text(input._w.text);
      if (input.value !== before) {
        const now = input.value;
        input.value = before;
        postText(id, (value) => ({start: 0, end: value.length, replacement: now}));
      }
    });
    return input;
  }

  const CARET_KEYS = new Set(['ArrowLeft', 'ArrowRight', 'Home', 'End']);

  function moveCaret(id, key, extend) {
    const input = fieldInput(id);
    if (!input) return;
    const value = input.value;
    let start = input.selectionStart;
    let end = input.selectionEnd;
    const backward = input.selectionDirection === 'backward';
    let focus = backward ? start : end;
    const anchor = backward ? end : start;
    if (!extend && start !== end && (key === 'ArrowLeft' || key === 'ArrowRight')) {
      focus = key === 'ArrowLeft' ? start : end;
      input.setSelectionRange(focus, focus);
      return;
    }
    if (key === 'ArrowLeft') focus = previousCodePointStart(value, focus);
    else if (key === 'ArrowRight') focus = nextCodePointEnd(value, focus);
    else if (key === 'Home') focus = 0;
    else focus = value.length;
    if (!extend) {
      input.setSelectionRange(focus, focus);
      return;
    }
    start = Math.min(anchor, focus);
    end = Math.max(anchor, focus);
    input.setSelectionRange(start, end, focus < anchor ? 'backward' : 'forward');
  }

  function previousCodePointStart(value, pos) {
    if (pos <= 0) return 0;
    const low = value.charCodeAt(pos - 1);
    if (low >= 0xdc00 && low <= 0xdfff && pos >= 2) {
      const high = value.charCodeAt(pos - 2);
      if (high >= 0xd800 && high <= 0xdbff) return pos - 2;
    }
    return pos - 1;
  }

  function nextCodePointEnd(value, pos) {
    if (pos >= value.length) return value.length;
    const cp = value.codePointAt(pos);
    return pos + (cp > 0xffff ? 2 : 1);
  }

  function onBeforeInput(ev, input, w) {
    if (ev.inputType === 'insertCompositionText') return;  // handled at compositionend
    ev.preventDefault();
    const type = ev.inputType;
    let data = '';
    switch (type) {
      case 'insertText':
      case 'insertReplacementText':
      case 'insertFromPaste':
      case 'insertFromDrop':
      case 'insertFromYank':
        data = ev.data !== null && ev.data !== undefined ? ev.data
          : (ev.dataTransfer ? ev.dataTransfer.getData('text/plain') : '');
        if (!w.multiline) data = data.replace(/\r?\n/g, ' ');
        break;
      case 'insertLineBreak':
      case 'insertParagraph':
        if (!w.multiline) {
          post({type: 'return', id: w.id});
          return;
        }
        data = '\n';
        break;
      default:
        if (!type.startsWith('delete')) return;  // undo, redo, formatting: nothing
    }
    postText(w.id, (value, start, end) => editRange(type, value, start, end, data));
  }

  // The range an edit replaces, in UTF-16 offsets of the field's text.
  function editRange(type, value, start, end, data) {
    if (start !== end || !type.startsWith('delete')) {
      return {start, end, replacement: type.startsWith('delete') ? '' : data};
    }
    switch (type) {
      case 'deleteContentBackward': start = previousCodePointStart(value, start); break;
      case 'deleteContentForward': end = nextCodePointEnd(value, end); break;
      case 'deleteWordBackward': start = value.slice(0, start).search(/\S*\s*$/); break;
      case 'deleteWordForward': {
        const m = value.slice(end).match(/^\s*\S*/);
        end += m ? m[0].length : 0;
        break;
      }
      case 'deleteSoftLineBackward':
      case 'deleteHardLineBackward': start = 0; break;
      case 'deleteSoftLineForward':
      case 'deleteHardLineForward': end = value.length; break;
      default: break;
    }
    return {start, end, replacement: ''};
  }

  function fieldInput(id) {
    return appRoot().querySelector(`.field-input[data-id="${CSS.escape(id)}"]`);
  }

  // `range(value, selectionStart, selectionEnd)` gives {start, end, replacement} in UTF-16
  // offsets; it runs when the event's turn comes, on the field as last drawn.
  function postText(id, range) {
    post(() => {
      const input = fieldInput(id);
      if (!input) return null;
      const value = input.value;
      const r = range(value, input.selectionStart, input.selectionEnd);
      if (r.start === r.end && r.replacement === '') return null;
      const location = codePoints(value.slice(0, r.start));
      const length = codePoints(value.slice(r.start, r.end));
      return {
        event: {type: 'text', id, location, length, replacement: r.replacement},
        after: {
          serial: state.view.screen.serial, id, before: value,
          selection: [input.selectionStart, input.selectionEnd],
          caretCp: location + codePoints(r.replacement),
        },
      };
    });
  }

  // ---- keeping focus, caret and scrolling across redraws -------------------------------

  function keepState(previous) {
    const kept = {scroll: new Map(), focus: null, windowY: window.scrollY};
    if (!previous) return kept;
    kept.serial = previous.screen.serial;
    for (const node of appRoot().querySelectorAll('.w-table, .content')) {
      kept.scroll.set(node.getAttribute('data-id') || '.content', node.scrollTop);
    }
    const active = document.activeElement;
    if (active && active.classList.contains('field-input')) {
      kept.focus = {id: active.getAttribute('data-id'),
        selection: [active.selectionStart, active.selectionEnd]};
    }
    const composer = overlayRoot().querySelector('[data-composer]');
    if (composer) {
      state.composerEdits = {serial: previous.screen.serial};
      for (const f of ['to', 'subject', 'body']) {
        const input = composer.querySelector(`[data-id="${f}"]`);
        if (input) state.composerEdits[f] = input.value;
      }
    }
    return kept;
  }

  function focusField(input) {
    state.programmaticFocus = true;
    try {
      input.focus({preventScroll: true});
    } finally {
      state.programmaticFocus = false;
    }
  }

  function restoreState(kept, root, pending) {
    const s = state.view.screen;
    const sameScreen = kept.serial === s.serial;
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
    const fieldFor = (id) => root.querySelector(`.field-input[data-id="${CSS.escape(id)}"]`);
    const widgetFor = (id) => (s.widgets || []).find((w) => w.kind === 'field' && w.id === id);

    if (pending && pending.serial === s.serial) {
      const input = fieldFor(pending.id);
      if (input) {
        focusField(input);
        const moved = input._selBefore && (input._selBefore[0] !== pending.selection[0] ||
          input._selBefore[1] !== pending.selection[1]);
        if (moved) {
          // The user moved the caret while the edit was on its way: keep it there.
          const len = input.value.length;
          input.setSelectionRange(Math.min(input._selBefore[0], len),
            Math.min(input._selBefore[1], len));
        } else if (input.value === pending.before) {
          input.setSelectionRange(pending.selection[0], pending.selection[1]);
        } else {
          const caret = utf16Offset(input.value, pending.caretCp);
          input.setSelectionRange(caret, caret);
        }
        return;
      }
    }
    // The program may end editing (keyboard closes) or start it in a field.
    for (const w of s.widgets || []) {
      if (w.kind !== 'field') continue;
      const was = state.editing.get(key(w.id));
      if (w.editing && was === false) {
        const input = fieldFor(w.id);
        if (input) {
          focusField(input);
          return;
        }
      }
    }
    if (sameScreen && kept.focus) {
      const w = widgetFor(kept.focus.id);
      const resigned = w && !w.editing && state.editing.get(key(w.id)) === true;
      const input = fieldFor(kept.focus.id);
      if (input && !resigned && !w.hidden) {
        focusField(input);
        const len = input.value.length;
        input.setSelectionRange(Math.min(kept.focus.selection[0], len),
          Math.min(kept.focus.selection[1], len));
      }
    }
  }

  // ---- transitions and toasts ----------------------------------------------------------

  function animateTransition(root, transition) {
    if (!transition) return;
    const changed = state.lastSequence !== null && transition.sequence !== state.lastSequence;
    state.lastSequence = transition.sequence;
    if (!changed || !transition.animated) return;
    const cls = transition.kind === 'pop' ? 'slide-pop' : 'slide-push';
    root.classList.add(cls);
    root.addEventListener('animationend', () => root.classList.remove(cls), {once: true});
  }

  function showToasts(toasts) {
    for (const t of toasts) {
      if (state.shownToasts.has(t.id)) continue;
      state.shownToasts.add(t.id);
      const remaining = Math.max(0, Number(t.remaining) || 0);
      if (remaining <= 0) continue;
      const node = t.centred
        ? el('div', {class: 'popup', 'data-popup': t.id, role: 'alert', text: t.text})
        : el('div', {class: 'toast', 'data-toast': t.id, role: 'status', text: t.text});
      toastRoot().append(node);
      setTimeout(() => node.classList.add('leaving'), Math.max(0, remaining - 200));
      setTimeout(() => node.remove(), remaining);
    }
  }

  // ---- overlays: action sheet, pop-up list, mail composer ------------------------------

  function renderOverlays(s) {
    const layer = overlayRoot();
    const nodes = [];
    if (s.sheet) nodes.push(renderSheet(s.sheet));
    if (s.alert) nodes.push(renderAlert(s.alert));
    if (s.composer) {
      const node = renderComposer(s.composer, s.serial);
      // Drawn again (a mail on its way is asked about), not opened: it does not slide in.
      if (layer.querySelector('[data-composer]')) node.classList.add('still');
      nodes.push(node);
    } else {
      state.composerEdits = null;
    }
    layer.replaceChildren(...nodes);
  }

  function scrim(child) {
    const node = el('div', {class: 'scrim'}, child);
    return node;
  }

  function renderSheet(sheet) {
    const box = el('div', {class: 'sheet', 'data-sheet': true, role: 'dialog'});
    if (sheet.title) box.append(el('div', {class: 'sheet-title', text: sheet.title}));
    const group = el('div', {class: 'sheet-group'});
    let cancel = null;
    for (const b of sheet.buttons || []) {
      const node = el('button', {type: 'button', class: 'sheet-button role-' + cssToken(b.role),
        'data-sheet-index': b.index, text: b.title});
      node.addEventListener('click', () => post({type: 'sheet', index: b.index}));
      if (b.role === 'cancel') cancel = node;
      else group.append(node);
    }
    box.append(group);
    if (cancel) box.append(el('div', {class: 'sheet-group'}, cancel));
    return scrim(box);
  }

  function renderAlert(alert) {
    const box = el('div', {class: 'alert', 'data-alert': true, role: 'dialog'});
    if (alert.height) box.style.maxHeight = Math.max(120, Number(alert.height)) + 'px';
    box.append(el('div', {class: 'alert-title', text: alert.title}));
    const list = el('div', {class: 'alert-rows'});
    (alert.rows || []).forEach((r, i) => {
      const row = el('div', {class: 'alert-row', 'data-row': i, role: 'button', tabindex: 0,
        text: r});
      row.addEventListener('click', () => post({type: 'alert', row: i}));
      list.append(row);
    });
    box.append(list);
    const cancel = el('button', {type: 'button', class: 'alert-cancel', 'data-action': 'cancel',
      text: alert.cancel || 'Cancel'});
    cancel.addEventListener('click', () => post({type: 'alert', row: -1}));
    box.append(cancel);
    return scrim(box);
  }

  function renderComposer(c, serial) {
    const edits = state.composerEdits && state.composerEdits.serial === serial
      ? state.composerEdits : null;
    const box = el('div', {class: 'composer', 'data-composer': true, role: 'dialog'});
    const to = el('input', {type: 'text', 'data-id': 'to', inputmode: 'email', autocomplete: 'off'});
    to.value = edits && edits.to !== undefined ? edits.to : (c.to || []).join(', ');
    const subject = el('input', {type: 'text', 'data-id': 'subject', autocomplete: 'off'});
    subject.value = edits && edits.subject !== undefined ? edits.subject : text(c.subject);
    const body = el('textarea', {'data-id': 'body', rows: 8});
    body.value = edits && edits.body !== undefined ? edits.body : text(c.body);
    if (c.bodyIsHTML) body.classList.add('html');

    const choice = (action) => {
      const b = el('button', {type: 'button', class: 'composer-' + action, 'data-action': action,
        text: {send: 'Send', save: 'Save draft', cancel: 'Cancel'}[action]});
      b.addEventListener('click', () => post({type: 'mail', action, fields: {
        to: to.value, subject: subject.value, body: body.value}}));
      return b;
    };
    const bar = el('div', {class: 'composer-bar'}, choice('cancel'), choice('save'),
      choice('send'));
    if (c.sending) {
      // On its way: nothing to edit or choose but to cancel; a spinner where Send was.
      for (const node of [to, subject, body, ...bar.children]) node.disabled = true;
      const cancel = el('button', {type: 'button', class: 'composer-cancel',
        'data-action': 'cancelSendEvent', text: 'Cancel'});
      cancel.addEventListener('click', () => post({type: 'mail', action: 'cancelSendEvent'}));
      bar.firstChild.replaceWith(cancel);
      bar.lastChild.replaceWith(el('span', {class: 'spinner', 'data-id': 'sendingSpinner',
        role: 'status', 'aria-label': 'Sending'}));
    }
    box.append(bar);
    box.append(el('label', {class: 'composer-row'}, el('span', {text: 'To'}), to));
    box.append(el('label', {class: 'composer-row'}, el('span', {text: 'Subject'}), subject));
    box.append(body);
    if ((c.attachments || []).length) {
      const list = el('div', {class: 'attachments'});
      for (const a of c.attachments) {
        const link = el('a', {class: 'attachment', 'data-index': a.index,
          href: `/api/attachment?serial=${encodeURIComponent(serial)}&index=${encodeURIComponent(a.index)}`,
          download: a.fileName});
        link.append(icon('list'), el('span', {text: a.fileName}),
          el('small', {text: ` ${a.mimeType || ''} · ${formatSize(a.size)}`}));
        list.append(link);
      }
      box.append(list);
    }
    return scrim(box);
  }

  function formatSize(n) {
    const size = Number(n) || 0;
    if (size < 1024) return size + ' B';
    if (size < 1024 * 1024) return (size / 1024).toFixed(1) + ' KB';
    return (size / 1024 / 1024).toFixed(1) + ' MB';
  }

  // ------------------------------------------------------------------------------------
  // Page-wide events.

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
    resizeTimer = setTimeout(() => {
      state.queue = state.queue.then(async () => {
        const view = await reportScreen();
        if (view) render(view);
      });
    }, 150);
  }

  async function start() {
    document.addEventListener('click', onBackgroundClick);
    document.addEventListener('pointerdown', onTouchElsewhere);
    document.addEventListener('keydown', onKeyDown);
    window.addEventListener('resize', onResize);
    // The program picks layouts by pixel size, so tell it before the first drawing.
    state.queue = state.queue.then(async () => {
      const view = await reportScreen();
      if (view) render(view);
      else await refresh();
    });
    await state.queue;
  }

  start().catch((err) => {
    console.error(err);
    const msg = el('p', {class: 'fatal', text: 'The ledger could not be reached. Is it running?'});
    appRoot().replaceChildren(msg);
  });
})();
