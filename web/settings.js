// The practice settings for parents and teachers: the gear button (⚙) in the bar opens a
// panel over the game with the options the game's table offers the page (the build's
// options, written by the build from the table: [word, value, label]), all off at
// first: a switch for a plain word, a choice of 1 to 30 minutes for MINUTES (word=N), and
// buttons 0 to 12 for LIST (word=a,b,...). The choice is kept in this browser's
// localStorage, on this device only and for this copy of the game only (storageKey), and
// passed to the game as its command-line words.
// The game reads them when it starts, so a change made while it runs is applied by the
// panel's Restart button. A browser that keeps nothing (storage refused) still carries the
// choice across that restart, in the page's address, and the panel says so plainly.
//
// The panel stays put: its Done and Restart buttons have their places from the start, and
// the options under them never move; Escape or Done closes it and gives the focus back to
// the gear. On a small screen the panel scrolls within itself. What is wrong with the copy
// on the server, when boot.js found something, is its first line, for whoever can mend it.
// Other scripts may add a section of their own: addPanelSection(element).
import { focusGame, gameRunning, serverNote, setGameArguments, storageKey } from './page.js';

const StorageKey = storageKey('plimo-practice');
const FragmentKey = 'practice=';
const options = window.plimoBoot.options;
const MaxMinutes = 30;
const ListTop = 12;

// Whether word is one the panel offers, with a value it can offer.
function known(word) {
  return options.some(([name, value]) => {
    if (value === '') return word === name;
    if (!word.startsWith(name + '=')) return false;
    const given = word.slice(name.length + 1);
    if (value === 'MINUTES') return /^[0-9]+$/.test(given) && Number(given) >= 1 && Number(given) <= MaxMinutes;
    if (value === 'LIST') return /^[0-9]+(,[0-9]+)*$/.test(given) && given.split(',').every((n) => Number(n) <= ListTop);
    return false;
  });
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

// The choice carried in the address's fragment by a restart without storage, else kept.
function load() {
  const at = location.hash.indexOf(FragmentKey);
  if (at >= 0) {
    const words = decodeURIComponent(location.hash.slice(at + FragmentKey.length)).split(' ');
    return words.filter(known);
  }
  try {
    const kept = JSON.parse(localStorage.getItem(StorageKey) || '[]');
    return Array.isArray(kept) ? kept.filter((w) => typeof w === 'string' && known(w)) : [];
  } catch (e) {
    return [];
  }
}
let chosen = load();
setGameArguments('practice', chosen);

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

export function addPanelSection(element) { sections.appendChild(element); }

// Each option's control reads and writes its words in chosen through these.
const controls = [];
function wordsOf(name) { return chosen.filter((w) => w === name || w.startsWith(name + '=')); }

for (const [name, value, label] of options) {
  const row = document.createElement(value === '' ? 'label' : 'fieldset');
  row.className = 'option';
  if (value === '') {
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.value = name;
    box.checked = wordsOf(name).length > 0;
    box.addEventListener('change', changed);
    row.append(box, ' ' + label);
    controls.push([name, () => (box.checked ? [name] : [])]);
  } else if (value === 'MINUTES') {
    const legend = document.createElement('legend');
    legend.textContent = label;
    const select = document.createElement('select');
    select.name = name;
    select.setAttribute('aria-label', label);
    select.add(new Option('Off', ''));
    for (let m = 1; m <= MaxMinutes; m++) select.add(new Option(m === 1 ? '1 minute' : m + ' minutes', String(m)));
    const given = wordsOf(name)[0];
    select.value = given ? given.slice(name.length + 1) : '';
    select.addEventListener('change', changed);
    row.append(legend, select);
    controls.push([name, () => (select.value ? [name + '=' + select.value] : [])]);
  } else if (value === 'LIST') {
    const legend = document.createElement('legend');
    legend.textContent = label;
    row.append(legend);
    const given = wordsOf(name)[0];
    const on = new Set(given ? given.slice(name.length + 1).split(',').map(Number) : []);
    const buttons = [];
    for (let n = 0; n <= ListTop; n++) {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'number';
      b.textContent = String(n);
      b.setAttribute('aria-pressed', String(on.has(n)));
      b.addEventListener('click', () => {
        b.setAttribute('aria-pressed', String(b.getAttribute('aria-pressed') !== 'true'));
        changed();
      });
      buttons.push(b);
      row.append(b);
    }
    controls.push([name, () => {
      const picked = buttons.filter((b) => b.getAttribute('aria-pressed') === 'true').map((b) => b.textContent);
      return picked.length ? [name + '=' + picked.join(',')] : [];
    }]);
  }
  list.appendChild(row);
}

// A change: kept (where the browser keeps anything), passed to the next game, and, with a
// game running, offered as a restart (the button's place is there from the start).
function changed() {
  chosen = controls.flatMap(([, words]) => words());
  if (keeps) {
    try {
      localStorage.setItem(StorageKey, JSON.stringify(chosen));
    } catch (e) {
      // refused after all: the restart carries the choice in the address
    }
  }
  setGameArguments('practice', chosen);
  const offer = gameRunning();
  restart.disabled = !offer;
  restart.classList.toggle('idle', !offer);
}

restart.addEventListener('click', () => {
  // The address carries the choice when the browser keeps nothing; kept, it needs not.
  const fragment = keeps ? '' : FragmentKey + encodeURIComponent(chosen.join(' '));
  if (location.hash.slice(1) !== fragment) {
    history.replaceState(null, '', fragment ? '#' + fragment : location.pathname + location.search);
  }
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
