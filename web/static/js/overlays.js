// What the page shows above the screen: toasts and pop-ups (each shown once, for the time
// it has left), the action sheet, the pop-up list and the mail composer sheet. Answers go
// back as sheet, alert and mail events.
import {cssToken, el, icon, text} from './dom.js';
import {overlayRoot, state, toastRoot} from './state.js';
import {post} from './transport.js';

export function showToasts(toasts) {
  for (const t of toasts) {
    if (state.shownToasts.has(t.id)) continue;
    state.shownToasts.add(t.id);
    const remaining = Math.max(0, Number(t.remaining) || 0);
    if (remaining <= 0) continue;
    const serial = state.view ? state.view.screen.serial : null;
    const node = t.centred
      ? el('div', {class: 'popup', 'data-popup': t.id, 'data-serial': serial, role: 'alert',
        text: t.text})
      : el('div', {class: 'toast', 'data-toast': t.id, 'data-serial': serial, role: 'status',
        text: t.text});
    toastRoot().append(node);
    setTimeout(() => node.classList.add('leaving'), Math.max(0, remaining - 200));
    setTimeout(() => node.remove(), remaining);
  }
}

export function renderOverlays(s) {
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
  const box = el('div', {class: 'sheet', 'data-sheet': true, role: 'dialog',
    'aria-label': sheet.title || null});
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
  const box = el('div', {class: 'alert', 'data-alert': true, role: 'dialog',
    'aria-label': alert.title || null});
  if (alert.height) box.style.maxHeight = Math.max(120, Number(alert.height)) + 'px';
  box.append(el('div', {class: 'alert-title', text: alert.title}));
  const list = el('div', {class: 'alert-rows'});
  (alert.rows || []).forEach((r, i) => {
    const row = el('div', {class: 'alert-row', 'data-row': i, role: 'button', tabindex: 0,
      text: r});
    row.addEventListener('click', () => post({type: 'alert', row: i}));
    list.append(row);
  });
  // A row after the list that runs an operation of the screen ("new customer").
  const extra = alert.actionRow;
  if (extra) {
    const row = (alert.rows || []).length;
    const node = el('div', {class: 'alert-row alert-action', 'data-row': row,
      'data-action': extra.action, role: 'button', tabindex: 0}, icon('add'),
    el('span', {text: extra.title}));
    node.addEventListener('click', () => post({type: 'alert', row}));
    list.append(node);
  }
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
  const words = c.texts || {};
  const box = el('div', {class: 'composer', 'data-composer': true, role: 'dialog',
    'aria-label': text(words.title)});
  const to = el('input', {type: 'text', 'data-id': 'to', inputmode: 'email', autocomplete: 'off'});
  to.value = edits && edits.to !== undefined ? edits.to : (c.to || []).join(', ');
  const subject = el('input', {type: 'text', 'data-id': 'subject', autocomplete: 'off'});
  subject.value = edits && edits.subject !== undefined ? edits.subject : text(c.subject);
  const body = el('textarea', {'data-id': 'body', rows: 8, 'aria-label': text(words.body)});
  body.value = edits && edits.body !== undefined ? edits.body : text(c.body);
  if (c.bodyIsHTML) body.classList.add('html');

  const choice = (action) => {
    const b = el('button', {type: 'button', class: 'composer-' + action, 'data-action': action,
      text: text(words[action])});
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
      'data-action': 'cancelSendEvent', text: text(words.cancel)});
    cancel.addEventListener('click', () => post({type: 'mail', action: 'cancelSendEvent'}));
    bar.firstChild.replaceWith(cancel);
    bar.lastChild.replaceWith(el('span', {class: 'spinner', 'data-id': 'sendingSpinner',
      role: 'status', 'aria-label': text(words.sending)}));
  }
  box.append(bar);
  box.append(el('label', {class: 'composer-row'}, el('span', {text: text(words.to)}), to));
  box.append(el('label', {class: 'composer-row'}, el('span', {text: text(words.subject)}),
    subject));
  box.append(body);
  if ((c.attachments || []).length) {
    const list = el('div', {class: 'attachments', role: 'group',
      'aria-label': text(words.attachments)});
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

// Before a redraw: what the user has typed into the mail sheet, so that a redraw of the
// same screen does not lose it.
export function rememberComposerEdits(serial) {
  const composer = overlayRoot().querySelector('[data-composer]');
  if (!composer) return;
  state.composerEdits = {serial};
  for (const f of ['to', 'subject', 'body']) {
    const input = composer.querySelector(`[data-id="${f}"]`);
    if (input) state.composerEdits[f] = input.value;
  }
}
