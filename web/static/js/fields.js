// Text fields and typing. The program owns a field's text: every keystroke, paste, deletion
// or composition is prevented in the box and posted as a replacement of a range (in code
// points); the answer's text is drawn and the caret put back. Caret moves and select-all
// typed while edits are on their way wait for them.
import {base, el, icon, setAttrs, text} from './dom.js';
import {appRoot, key, state} from './state.js';
import {later, post} from './transport.js';

// Field inputs survive redraws of the same screen, so that the caret the user moves
// while an edit is on its way is not lost.
const reusableInputs = new Map();

// Before a redraw: the inputs drawn now are reused when the same screen is drawn again.
export function keepFieldInputs(sameScreen) {
  reusableInputs.clear();
  if (!sameScreen) return;
  for (const input of appRoot().querySelectorAll('.field-input')) {
    reusableInputs.set(input.getAttribute('data-id'), input);
  }
}

export function renderField(w) {
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
  const name = w.accessibleName || w.caption || w.placeholder;
  if (name) input.setAttribute('aria-label', name);
  else input.removeAttribute('aria-label');
  // Refused on save: marked until its text changes.
  if (w.refused) input.setAttribute('aria-invalid', 'true');
  else input.removeAttribute('aria-invalid');
  input._selBefore = [input.selectionStart, input.selectionEnd];
  if (input.value !== text(w.text)) input.value = text(w.text);
  const wrap = base(w, 'div', 'field' + (w.refused ? ' refused' : ''), {});
  wrap.removeAttribute('data-id');
  wrap.append(input);
  if (w.clearButton) {
    // A pointer's shortcut only: keys and screen readers delete the text themselves.
    const clear = el('button', {type: 'button', class: 'clear', 'data-clear': w.id,
      'aria-hidden': 'true', tabindex: -1}, icon('clear'));
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

// The shake counts and editing flags drawn, to tell what the next view changes.
export function rememberFieldFlags(s) {
  for (const w of s.widgets || []) {
    if (w.kind === 'field') {
      state.shakes.set(key(w.id), w.shake || 0);
      state.editing.set(key(w.id), !!w.editing);
    }
  }
}

// The focused field and its selection before a redraw; null when no field has the focus.
export function keepFocus() {
  const active = document.activeElement;
  if (!active || !active.classList.contains('field-input')) return null;
  return {id: active.getAttribute('data-id'),
    selection: [active.selectionStart, active.selectionEnd]};
}

function focusField(input) {
  state.programmaticFocus = true;
  try {
    input.focus({preventScroll: true});
  } finally {
    state.programmaticFocus = false;
  }
}

// After a redraw: the field being edited gets its focus and caret back. An answered edit
// puts the caret after its replacement (or where the user moved it meanwhile); the
// program may start editing a field (an editor that opens starts in its first empty one);
// else a field that had the focus on the same screen (`kept`, from keepFocus) keeps it
// unless the program ended its editing.
export function restoreFocus(root, pending, kept) {
  const s = state.view.screen;
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
    if (w.editing && was !== true) {
      const input = fieldFor(w.id);
      if (input) {
        focusField(input);
        return;
      }
    }
  }
  if (kept) {
    const w = widgetFor(kept.id);
    const resigned = w && !w.editing && state.editing.get(key(w.id)) === true;
    const input = fieldFor(kept.id);
    if (input && !resigned && !w.hidden) {
      focusField(input);
      const len = input.value.length;
      input.setSelectionRange(Math.min(kept.selection[0], len),
        Math.min(kept.selection[1], len));
    }
  }
}
