// Talking to the program: events go out one at a time through one queue, each answered
// by the view to draw. The renderer registers itself with onView(); this module draws
// nothing itself.
import {state} from './state.js';

let draw = () => {};

// `fn(view, after)` draws an answer; `after` is the caret to set once a text edit has
// been answered.
export function onView(fn) {
  draw = (view, after) => {
    fn(view, after);
    pollWhileBusy(view && view.busy);
  };
}

// While the program works on something outside its lock (a mail on its way), its outcome
// changes the view without an event of ours: ask for the view again now and then.
let pollTimer = null;
function pollWhileBusy(busy) {
  clearTimeout(pollTimer);
  pollTimer = busy ? setTimeout(() => later(() => refresh()), 300) : null;
}

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
export function post(event) {
  state.inFlight++;
  state.queue = state.queue.then(() => send(event)).catch((err) => {
    console.error('event failed', err);
  }).finally(() => {
    state.inFlight--;
  });
  return state.queue;
}

// Runs a page-only step in turn with the events before it.
export function later(fn) {
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
    draw(res.data, after);
    return;
  }
  if (res.data && res.data.error) console.warn('event refused:', res.status, res.data.error);
  // Stale or refused: draw what the program shows now.
  await refresh(after);
}

async function refresh(after) {
  const res = await api('GET', '/api/view');
  if (res.status === 200 && res.data) draw(res.data, after || null);
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

// Reports the window's pixel size in turn with the events and draws the answer (the
// program picks layouts by it). At start a refused report still draws the current view.
export function reportScreenSize(atStart) {
  state.queue = state.queue.then(async () => {
    const view = await reportScreen();
    if (view) draw(view);
    else if (atStart) await refresh();
  });
  return state.queue;
}
