// The search field above a list: a text field like any other (each keystroke goes to the
// program, which filters the list), drawn as a search box with a magnifier.
import {svg} from './dom.js';
import {renderField} from './fields.js';

export function renderSearchField(w) {
  const wrap = renderField(w);
  wrap.classList.add('search');
  const input = wrap.querySelector('.field-input');
  input.setAttribute('role', 'searchbox');
  input.setAttribute('inputmode', 'search');
  if (w.placeholder) input.setAttribute('aria-label', w.placeholder);
  const glass = svg('svg', {class: 'icon search-icon', viewBox: '0 0 24 24', 'aria-hidden': 'true'});
  glass.append(svg('path', {d: 'M10.5 17a6.5 6.5 0 100-13 6.5 6.5 0 000 13zM15.5 15.5L20 20'}));
  wrap.prepend(glass);
  return wrap;
}
