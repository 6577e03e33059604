// The practice settings for parents and teachers: the gear button (⚙) in the bar opens a
// panel over the game with the options the game's table offers the page (the build's
// options, written by the build from the table: [word, value, label]): a switch for a
// plain word, a choice of minutes for MINUTES (word=N), and number buttons for LIST
// (word=a,b,...), their ranges the game's own (pageFacts). The words come from three
// places, the first that sets an option having its say: the page's address (a teacher's
// link, index.html?tables=7&gentle), then what was chosen on this device (kept in this
// browser's localStorage, for this copy of the game only: storageKey), then the school's
// settings file beside index.html ("settings": one word a line, as the desktop's
// settings files, # comments). A class list or a child's name is never taken from the
// address or the server's file: names stay off the network. What the panel changes stays
// on this device (an option turned off there is kept as --no-WORD, so that it stays off
// whatever the school's file says). The words are passed to the game as its command line.
// The game reads them when it starts, so a change made while it runs is applied by the
// panel's Restart button. A browser that keeps nothing (storage refused) still carries the
// choice across that restart, in the page's address, and the panel says so plainly. A word
// that is no setting the page offers, in the address or the file, is left out and named
// in one line on the start screen and in the panel.
//
// The panel stays put: its Done and Restart buttons have their places from the start, and
// the options under them never move; Escape or Done closes it and gives the focus back to
// the gear. On a small screen the panel scrolls within itself. What is wrong with the copy
// on the server, when boot.js found something, is its first line, for whoever can mend it.
// Other scripts may add a section of their own: addPanelSection(element, first).
import { delayStart, focusGame, gameRunning, pageFacts, serverNote, setGameArguments, storageKey } from './page.js';

const StorageKey = storageKey('plimo-practice');
const ServerCopyKey = storageKey('plimo-school-settings'); // the school's file as last read, for offline play
const FragmentKey = 'practice=';
const SettingsFileMaxBytes = 65536; // as the desktop's settings files
const options = window.plimoBoot.options;
// Words that name children: never from the address or the server.
const NameWords = ['--player', '--class'];

// One word of a source read: { name, value } (value '' for a switch, null for --no-WORD)
// or { fault } naming what is wrong. ranges: the game's ({ minutes: [least, most],
// listMax }).
function readWord(word, ranges) {
  const text = word.startsWith('--') ? word : '--' + word;
  const equals = text.indexOf('=');
  let name = equals < 0 ? text : text.slice(0, equals);
  const given = equals < 0 ? null : text.slice(equals + 1);
  const off = name.startsWith('--no-');
  if (off) name = '--' + name.slice(5);
  // Named without its value: a name goes into no line the page shows or logs.
  if (NameWords.includes(name)) return { fault: `"${name.slice(2)}": a child's name or a class list is set only in the panel, on the device` };
  const row = options.find(([n]) => n === name);
  if (!row) return { fault: `"${word}" is no setting the page offers` };
  const kind = row[1];
  if (off) return given === null ? { name, value: null } : { fault: `"${word}" takes no value` };
  if (kind === '') return given === null ? { name, value: '' } : { fault: `"${word}" takes no value` };
  if (given === null) return { fault: `"${word}" needs a value, as in ${name}=${kind === 'MINUTES' ? ranges.minutes[1] : '2,5'}` };
  if (kind === 'MINUTES') {
    const [least, most] = ranges.minutes;
    if (!/^[0-9]+$/.test(given) || Number(given) < least || Number(given) > most) return { fault: `"${word}": minutes are ${least} to ${most}` };
    return { name, value: String(Number(given)) };
  }
  if (kind === 'LIST') {
    const numbers = /^[0-9]+(,[0-9]+)*$/.test(given) ? given.split(',').map(Number) : null;
    if (!numbers || numbers.some((n) => n > ranges.listMax) || new Set(numbers).size !== numbers.length)
      return { fault: `"${word}": numbers 0 to ${ranges.listMax}, each once, apart by commas` };
    return { name, value: numbers.join(',') };
  }
  return { fault: `"${word}" is no setting the page offers` };
}

// A source's words read into a layer (Map name -> value), its faults into faults
// ("where: what").
function layerOf(words, where, ranges, faults) {
  const layer = new Map();
  for (const { word, at } of words) {
    const read = readWord(word, ranges);
    if (read.fault) faults.push(`${where(at)}: ${read.fault}; left out`);
    else layer.set(read.name, read.value);
  }
  return layer;
}

// The words of the address's query (?tables=7&gentle).
function addressWords() {
  const words = [];
  for (const [key, value] of new URLSearchParams(location.search)) words.push({ word: value === '' ? key : key + '=' + value, at: key });
  return words;
}

// The words of a settings file's text: one a line, blanks trimmed, # to the line's end a
// comment.
function fileWords(text) {
  const words = [];
  text.split(/\r?\n/).forEach((line, i) => {
    const word = line.replace(/#.*/, '').trim();
    if (word) words.push({ word, at: i + 1 });
  });
  return words;
}

// Storage that refuses (a privacy setting, no room) throws, on reading or on writing.
function storageKeeps() {
  try {
    localStorage.setItem(storageKey('plimo-probe'), '1');
    localStorage.removeItem(storageKey('plimo-probe'));
    return true;
  } catch (e) {
    return false;
  }
}
const keeps = storageKeeps();

// This device's words: carried in the address's fragment by a restart without storage,
// else kept.
function deviceWords() {
  const at = location.hash.indexOf(FragmentKey);
  if (at >= 0) return decodeURIComponent(location.hash.slice(at + FragmentKey.length)).split(' ').filter(Boolean);
  try {
    const kept = JSON.parse(localStorage.getItem(StorageKey) || '[]');
    return Array.isArray(kept) ? kept.filter((w) => typeof w === 'string') : [];
  } catch (e) {
    return [];
  }
}

// The school's settings file beside index.html, as text ('' when there is none); the
// copy read last when the server cannot be reached. A file too large is a fault.
let schoolText = '';
let schoolFault = '';
const SchoolWaitMs = 5000; // a server that does not answer in this time: the copy read last
const schoolRead = Promise.race([
  fetch(new URL('settings', location.href), { cache: 'no-cache' }),
  new Promise((resolve, reject) => setTimeout(() => reject(new Error('no answer')), SchoolWaitMs)),
]).then(async (response) => {
  if (response.status === 404) return '';
  if (!response.ok) throw new Error('answered ' + response.status);
  const text = await response.text();
  if (text.length > SettingsFileMaxBytes) {
    schoolFault = `The settings file is larger than ${SettingsFileMaxBytes} bytes: none of it is used.`;
    return '';
  }
  return text;
}).then((text) => {
  try {
    if (text) localStorage.setItem(ServerCopyKey, text);
    else localStorage.removeItem(ServerCopyKey);
  } catch (e) {
    // not kept: read from the server again next time
  }
  schoolText = text;
}, () => {
  try {
    schoolText = localStorage.getItem(ServerCopyKey) || '';
  } catch (e) {
    schoolText = '';
  }
});
let schoolDone = false;
delayStart(schoolRead.then(() => {
  schoolDone = true;
  whenReady();
}));

let address = new Map(); // the address's layer
let device = new Map(); // this device's
let school = new Map(); // the server's file's
let faults = [];
let chosen = []; // the words passed to the game
let ranges = null; // the game's, once it has loaded

// The three sources read again (once the game's ranges are known): the words passed on.
function readSources() {
  faults = schoolFault ? [schoolFault] : [];
  address = layerOf(addressWords(), (key) => `The address's "${key}"`, ranges, faults);
  // The device's own words were written by this panel: one that no longer fits is
  // dropped without a word (an older build's setting).
  device = layerOf(deviceWords().map((word) => ({ word, at: 0 })), () => '', ranges, []);
  school = layerOf(fileWords(schoolText), (line) => `The settings file, line ${line}`, ranges, faults);
  settle();
}

// Which source sets name: 'address', 'device', 'school' or null.
function sourceOf(name) {
  return address.has(name) ? 'address' : device.has(name) ? 'device' : school.has(name) ? 'school' : null;
}
function valueOf(name) {
  const source = sourceOf(name);
  return source === null ? null : { address, device, school }[source].get(name);
}
const wordOf = (name, value) => (value === null ? '--no-' + name.slice(2) : value === '' ? name : name + '=' + value);

// The words passed to the game: every option that is on, in the table's order.
function settle() {
  chosen = options.map(([name]) => [name, valueOf(name)]).filter(([, value]) => value !== null)
    .map(([name, value]) => wordOf(name, value));
  setGameArguments('practice', chosen);
  showSources();
}
// The sources are read, and the panel's controls made, once both the game's ranges and
// the school's file are here; after that the panel's changes hold.
function whenReady() {
  if (!ranges && pageFacts()) ranges = { minutes: pageFacts().minutes, listMax: pageFacts().listMax };
  if (!ranges || !schoolDone || controls.length) return;
  readSources();
  buildControls();
}
document.addEventListener('plimo-ready', whenReady);

const gear = document.getElementById('practice');
const panel = document.createElement('div');
panel.id = 'practice-panel';
panel.hidden = true;
panel.setAttribute('role', 'dialog');
panel.setAttribute('aria-labelledby', 'practice-title');
const title = document.createElement('p');
title.id = 'practice-title';
title.textContent = keeps ? 'Practice settings, kept on this device only'
                          : 'Practice settings. This browser does not let the page keep them: they will not be remembered on this device.';
const actions = document.createElement('div');
actions.className = 'actions';
const restart = document.createElement('button');
restart.id = 'practice-restart';
restart.type = 'button';
restart.textContent = 'Restart with these';
restart.disabled = true;
restart.classList.add('idle');
const done = document.createElement('button');
done.id = 'practice-done';
done.type = 'button';
done.textContent = 'Done';
actions.append(restart, done);
const list = document.createElement('div');
list.className = 'options';
const sections = document.createElement('div');
sections.id = 'practice-sections';
const note = document.createElement('p');
note.id = 'practice-server-note';
note.className = 'failed';
note.textContent = serverNote();
note.hidden = !note.textContent;
panel.append(note, title, actions, list, sections);
document.getElementById('stage').appendChild(panel);

// A section under the options; first: above the sections added before.
export function addPanelSection(element, first = false) {
  if (first) sections.prepend(element);
  else sections.appendChild(element);
}

// Where the words come from, shown under the title; and what was left out, also on the
// start screen.
const sources = document.createElement('p');
sources.id = 'practice-sources';
panel.insertBefore(sources, list);
const faultLine = document.createElement('p');
faultLine.id = 'practice-faults';
faultLine.className = 'failed';
faultLine.hidden = true;
panel.insertBefore(faultLine, list);
const startFaults = document.createElement('p');
startFaults.id = 'start-settings-faults';
startFaults.className = 'failed';
startFaults.hidden = true;
document.getElementById('start').appendChild(startFaults);
const loadingLine = document.createElement('p');
loadingLine.textContent = 'The settings are shown once the game has loaded.';
list.appendChild(loadingLine);

function showSources() {
  const from = (layer) => options.filter(([name]) => layer.has(name) && { address, device, school }[sourceOf(name)] === layer)
    .map(([name]) => wordOf(name, layer.get(name)).slice(2)).join(', ');
  const parts = [];
  if (from(address)) parts.push('from this link: ' + from(address));
  if (from(school)) parts.push('from the school\'s settings file: ' + from(school));
  sources.textContent = parts.length ? 'Set ' + parts.join('; ') + '. A change here stays on this device.' : '';
  const said = faults.join(' ');
  faultLine.textContent = startFaults.textContent = said;
  faultLine.hidden = startFaults.hidden = !said;
  if (said) console.warn('Plimo: ' + said);
}

// Each option's control: its name and the value it shows now (null: off).
const controls = [];

function buildControls() {
  list.textContent = '';
  for (const [name, kind, label] of options) {
    const row = document.createElement(kind === '' ? 'label' : 'fieldset');
    row.className = 'option';
    const given = valueOf(name);
    if (kind === '') {
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.value = name;
      box.checked = given !== null;
      box.addEventListener('change', () => changed(name));
      row.append(box, ' ' + label);
      controls.push([name, () => (box.checked ? '' : null)]);
    } else if (kind === 'MINUTES') {
      const legend = document.createElement('legend');
      legend.textContent = label;
      const select = document.createElement('select');
      select.name = name;
      select.setAttribute('aria-label', label);
      select.add(new Option('Off', ''));
      for (let m = ranges.minutes[0]; m <= ranges.minutes[1]; m++) select.add(new Option(m === 1 ? '1 minute' : m + ' minutes', String(m)));
      select.value = given || '';
      select.addEventListener('change', () => changed(name));
      row.append(legend, select);
      controls.push([name, () => select.value || null]);
    } else if (kind === 'LIST') {
      const legend = document.createElement('legend');
      legend.textContent = label;
      row.append(legend);
      const on = new Set(given ? given.split(',').map(Number) : []);
      const buttons = [];
      for (let n = 0; n <= ranges.listMax; n++) {
        const b = document.createElement('button');
        b.type = 'button';
        b.className = 'number';
        b.textContent = String(n);
        b.setAttribute('aria-pressed', String(on.has(n)));
        b.addEventListener('click', () => {
          b.setAttribute('aria-pressed', String(b.getAttribute('aria-pressed') !== 'true'));
          changed(name);
        });
        buttons.push(b);
        row.append(b);
      }
      controls.push([name, () => {
        const picked = buttons.filter((b) => b.getAttribute('aria-pressed') === 'true').map((b) => b.textContent);
        return picked.length ? picked.join(',') : null;
      }]);
    }
    list.appendChild(row);
  }
}

// The device's words as kept: an option the panel turned off is kept as --no-WORD only
// where another source would turn it on.
function keptWords() {
  return options.filter(([name]) => device.has(name)).map(([name]) => [name, device.get(name)])
    .filter(([name, value]) => value !== null || school.has(name)).map(([name, value]) => wordOf(name, value));
}

// A change of name's control: this device's choice now (over the address's and the
// school's), kept where the browser keeps anything, passed to the next game, and, with a
// game running, offered as a restart (the button's place is there from the start).
function changed(name) {
  const [, value] = controls.find(([n]) => n === name);
  device.set(name, value());
  address.delete(name);
  if (keeps) {
    try {
      localStorage.setItem(StorageKey, JSON.stringify(keptWords()));
    } catch (e) {
      // refused after all: the restart carries the choice in the address
    }
  }
  settle();
  const offer = gameRunning();
  restart.disabled = !offer;
  restart.classList.toggle('idle', !offer);
}

restart.addEventListener('click', () => {
  // The address carries the choice when the browser keeps nothing; kept, it needs not.
  // What the panel changed leaves the address's query.
  const fragment = keeps ? '' : FragmentKey + encodeURIComponent(keptWords().join(' '));
  const query = new URLSearchParams(location.search);
  for (const key of [...query.keys()]) {
    const read = readWord(query.get(key) === '' ? key : key + '=' + query.get(key), ranges);
    if (!read.fault && !address.has(read.name)) query.delete(key);
  }
  const search = query.toString() ? '?' + query.toString().replace(/=(&|$)/g, '$1') : '';
  const wanted = location.pathname + search + (fragment ? '#' + fragment : '');
  if (wanted !== location.pathname + location.search + location.hash) history.replaceState(null, '', wanted);
  location.reload();
});

function open(on) {
  panel.hidden = !on;
  document.body.classList.toggle('panel-open', on);
  gear.setAttribute('aria-expanded', String(on));
  if (on) (list.querySelector('input, select, button') || done).focus();
}
function close(byKeyboard) {
  open(false);
  if (byKeyboard) gear.focus();
  else if (gameRunning()) focusGame();
}
gear.addEventListener('click', (event) => {
  if (panel.hidden) open(true);
  else close(event.detail === 0);
});
done.addEventListener('click', (event) => close(event.detail === 0));
const escape = (event) => {
  if (event.key === 'Escape' && !panel.hidden) {
    event.preventDefault();
    close(true);
  }
};
panel.addEventListener('keydown', escape);
gear.addEventListener('keydown', escape);
