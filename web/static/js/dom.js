// Building the page's nodes: elements and SVG from attribute maps (ledger texts go in
// through textContent and attribute setters only), icons by image name, and the frame
// every widget shares (its kind, data-id, hidden flag and caption).
const SVG_NS = 'http://www.w3.org/2000/svg';

export function el(tag, attrs, ...children) {
  const node = document.createElement(tag);
  setAttrs(node, attrs);
  for (const child of children) {
    if (child === null || child === undefined) continue;
    node.append(typeof child === 'string' ? document.createTextNode(child) : child);
  }
  return node;
}

export function svg(tag, attrs) {
  const node = document.createElementNS(SVG_NS, tag);
  setAttrs(node, attrs);
  return node;
}

export function setAttrs(node, attrs) {
  if (!attrs) return;
  for (const [key, value] of Object.entries(attrs)) {
    if (value === null || value === undefined || value === false) continue;
    if (key === 'text') node.textContent = String(value);
    else if (key === 'class') node.setAttribute('class', value);
    else node.setAttribute(key, value === true ? '' : String(value));
  }
}

export function text(value) {
  return value === null || value === undefined ? '' : String(value);
}

// Colours arrive as CSS colour names (or #rgb forms); anything else is ignored.
export function isColor(color) {
  return !!color && /^[a-zA-Z]+$|^#[0-9a-fA-F]{3,8}$/.test(color);
}

export function applyColor(node, color) {
  if (isColor(color)) node.style.color = color;
}

export function cssToken(value) {
  return text(value).replace(/[^a-zA-Z0-9_-]/g, '');
}

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

export function icon(name) {
  const node = svg('svg', {class: 'icon', viewBox: '0 0 24 24', 'aria-hidden': 'true',
    'data-image': text(name)});
  node.append(svg('path', {d: ICON_PATHS[iconName(name)]}));
  return node;
}

// The frame every widget shares: its kind and id as class and data-id, and its hidden flag.
export function base(w, tag, cls, attrs) {
  const node = el(tag, Object.assign({class: 'w w-' + w.kind + (cls ? ' ' + cls : ''),
    'data-id': w.id}, attrs || {}));
  if (w.hidden) node.hidden = true;
  return node;
}

// A caption beside a control makes a form row.
export function withCaption(w, control) {
  if (!w.caption) return control;
  const row = el('div', {class: 'form-row'}, el('span', {class: 'caption', text: w.caption}),
    control);
  if (w.hidden) row.hidden = true;
  return row;
}
