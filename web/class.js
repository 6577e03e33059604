// A class on a shared device: the teacher types the class list once in the settings
// panel (or opens it from a file on the device; never from the address or the server),
// and the start screen then asks "Who is playing?" in the language last played here: a
// tap on a name (or the arrows and Return) starts the game as that child, whose record
// is kept apart from every other child's (progress.js, by the name as names are
// compared) and carries the child's name inside. When the game ends, the next child
// picks a name. The panel's class section shows the class view (as plimo
// --class-progress prints it) and each child's grids, saves the class table for a
// spreadsheet ("Save class as CSV": a row per child and fact, the name first,
// formula-like cells written as text) and opens records saved on other devices ("Open
// records": merged by name, a game found twice counted once, the result shown and kept).
// Names are checked, merged and written by the game's own rules (web/class_exports.cpp).
// Nothing leaves the device: no name or record goes into an address, a request or a log.
import { askGame, currentPlayer, gameFiles, holdStart, pageFacts, setCurrentPlayer, setGameArguments, startNow,
         storageKey, storedItems } from './page.js';
import { addPanelSection } from './settings.js';
import { playerStorageName, showRecordOf, storedRecord, storeRecord } from './progress.js';

const ClassKey = storageKey('plimo-class');
const LanguageKey = storageKey('plimo-language');
const PlayerPrefix = 'plimo-player-';
const ListMaxChars = 4000; // a class list typed or opened: 40 names of 24 letters and more
const Scratch = '/tmp/plimo-class'; // where the records are handed to the game, in its own files

// ---- the class list: [{ name, key }], kept on this device

function loadClass() {
  try {
    const kept = JSON.parse(localStorage.getItem(ClassKey) || '[]');
    return Array.isArray(kept) ? kept.filter((c) => c && typeof c.name === 'string' && typeof c.key === 'string') : [];
  } catch (e) {
    return [];
  }
}
let classList = loadClass();

// The names of text checked by the game: { names } or { fault }; null while no game is
// loaded.
function checkNames(text) {
  if (text.length > ListMaxChars) return { fault: `a class list holds at most ${ListMaxChars} characters` };
  const answer = askGame('plimoCheckNames', text);
  if (answer === null) return null;
  if (answer.startsWith('!|')) return { fault: answer.slice(2) };
  return { names: answer.split('\n').filter(Boolean).map((line) => {
    const [name, key] = line.split('|');
    return { name, key };
  }) };
}

// ---- "Who is playing?" on the start screen

const start = document.getElementById('start');
const prompt = document.getElementById('start-prompt');
const pick = document.createElement('div');
pick.id = 'class-pick';
pick.hidden = true;
const pickTitle = document.createElement('p');
pickTitle.id = 'class-pick-title';
const pickHint = document.createElement('p');
pickHint.id = 'class-pick-hint';
const pickNames = document.createElement('div');
pickNames.id = 'class-pick-names';
pick.append(pickTitle, pickNames, pickHint);
start.insertBefore(pick, prompt);

let texts = null; // code -> [title, hint], from the game's content
function languageCode() {
  try {
    const kept = localStorage.getItem(LanguageKey);
    if (kept) return kept;
  } catch (e) {
    // not kept: the browser's language
  }
  return (navigator.language || '').slice(0, 2).toLowerCase();
}
function showPickTexts() {
  if (!texts) {
    const lines = askGame('plimoClassTexts', '');
    if (lines) {
      texts = new Map(lines.split('\n').filter(Boolean).map((line) => {
        const [code, title, hint] = line.split('|');
        return [code, [title, hint]];
      }));
    }
  }
  if (!texts) return;
  const [title, hint] = texts.get(languageCode()) || texts.values().next().value || ['', ''];
  pickTitle.textContent = title;
  pickHint.textContent = hint;
}

let columns = 1;
function showPick() {
  const on = classList.length > 0;
  holdStart(on);
  pick.hidden = !on;
  prompt.hidden = on;
  setGameArguments('class', on ? ['--remember'] : []);
  if (!on) {
    setCurrentPlayer(null);
    return;
  }
  showPickTexts();
  pickNames.textContent = '';
  columns = classList.length > 28 ? 3 : classList.length > 14 ? 2 : 1;
  pickNames.style.gridTemplateColumns = `repeat(${columns}, minmax(0, 1fr))`;
  pickNames.style.gridTemplateRows = `repeat(${Math.ceil(classList.length / columns)}, auto)`;
  classList.forEach((child, i) => {
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'class-name';
    button.textContent = child.name;
    button.dataset.index = String(i);
    button.addEventListener('click', () => {
      setCurrentPlayer(child);
      pick.hidden = true;
      prompt.hidden = false;
      startNow();
    });
    pickNames.appendChild(button);
  });
  // Once the start screen shows (it does right after a game's end is told).
  setTimeout(() => {
    const last = currentPlayer();
    const at = last ? classList.findIndex((c) => c.key === last.key) : -1;
    if (!start.hidden && !pick.hidden && !document.body.classList.contains('panel-open')) pickNames.children[Math.max(at, 0)].focus();
  });
}

// The arrows move between the names down the columns, as the game's own screen does;
// Return picks (the button's own key).
pickNames.addEventListener('keydown', (event) => {
  const rows = Math.ceil(classList.length / columns);
  const steps = { ArrowDown: 1, ArrowUp: -1, ArrowRight: rows, ArrowLeft: -rows };
  if (!(event.key in steps)) return;
  event.preventDefault();
  const at = Number(document.activeElement.dataset.index || 0) + steps[event.key];
  if (at >= 0 && at < classList.length) pickNames.children[at].focus();
});
// A key on the start screen with no name in focus gives the focus to the names.
document.addEventListener('plimo-held-key', () => {
  if (!pick.hidden && !start.hidden && !pick.contains(document.activeElement)) pickNames.firstChild.focus();
});

// The panel closed over the names by a click: the names have the keys again.
new MutationObserver(() => {
  const panelOpen = document.body.classList.contains('panel-open');
  const lost = !document.activeElement || document.activeElement === document.body ||
               !!document.activeElement.closest('#practice-panel');
  if (!panelOpen && !pick.hidden && !start.hidden && lost) pickNames.firstChild.focus();
}).observe(document.body, { attributes: true, attributeFilter: ['class'] });

// The language the child plays in, kept for the next "Who is playing?".
setInterval(() => {
  const code = askGame('plimoLanguageCode', '');
  if (!code || !currentPlayer()) return;
  try {
    if (localStorage.getItem(LanguageKey) !== code) localStorage.setItem(LanguageKey, code);
  } catch (e) {
    // not kept
  }
}, 1000);

document.addEventListener('plimo-ready', () => {
  showPickTexts();
  section.update();
});
document.addEventListener('plimo-ended', () => showPick());

// ---- the panel's section

function element(tag, properties, parent) {
  const e = document.createElement(tag);
  Object.assign(e, properties);
  if (parent) parent.appendChild(e);
  return e;
}

const section = element('section', { id: 'class-section' });
element('p', { className: 'progress-title', textContent: 'Class: each child picks a name at the start, each record is kept apart, on this device only' }, section);
const names = element('textarea', { id: 'class-names', rows: 4, placeholder: 'One name a line, as: Ana', spellcheck: false }, section);
names.setAttribute('aria-label', 'The class list, one name a line');
const listButtons = element('div', { className: 'progress-buttons' }, section);
const use = element('button', { id: 'class-use', type: 'button', textContent: 'Use this class list' }, listButtons);
const openList = element('button', { id: 'class-open-list', type: 'button', textContent: 'Open a class list…' }, listButtons);
const listFile = element('input', { id: 'class-list-file', type: 'file', accept: '.txt,.csv,text/plain,text/csv', hidden: true }, section);
const message = element('p', { id: 'class-message' }, section);
const whose = element('select', { id: 'class-player', title: 'Whose record the grids show' }, section);
const table = element('pre', { id: 'class-table' }, section);
const recordButtons = element('div', { className: 'progress-buttons' }, section);
const saveClass = element('button', { id: 'class-save', type: 'button', textContent: 'Save class as CSV' }, recordButtons);
const openRecords = element('button', { id: 'class-open-records', type: 'button', textContent: 'Open records…' }, recordButtons);
const recordFiles = element('input', { id: 'class-record-files', type: 'file', multiple: true, accept: '.csv,text/csv', hidden: true }, section);
const opened = element('p', { id: 'class-opened' }, section);

function say(line, failed) {
  message.textContent = line;
  message.classList.toggle('failed', !!failed);
}

// Every child kept on this device: the class list's, then any other child whose record
// is here (opened from another device) in the order of their names: [{ name, key,
// storedName }].
function children() {
  const all = classList.map((c) => ({ ...c, storedName: playerStorageName(c) }));
  const others = [];
  for (const storedName of storedItems()) {
    if (!storedName.startsWith(PlayerPrefix) || all.some((c) => c.storedName === storedName)) continue;
    const key = decodeURIComponent(storedName.slice(PlayerPrefix.length, storedName.length - storageKey('').length));
    // The name as the record carries it (a checked name holds no comma and no quote).
    const name = (storedRecord(storedName).split('\n')[0].match(/,player,(.+)$/) || [])[1] || key;
    others.push({ name, key, storedName });
  }
  return all.concat(others.sort((a, b) => a.name.localeCompare(b.name)));
}

// Hands texts to the game as the files 0, 1, ... of its scratch folder; false with no game.
function handOver(textsToGive) {
  const fs = gameFiles();
  if (!fs) return false;
  try {
    try { fs.mkdir('/tmp'); } catch (e) { /* there */ }
    try {
      fs.readdir(Scratch).forEach((name) => { if (name !== '.' && name !== '..') fs.unlink(Scratch + '/' + name); });
    } catch (e) {
      fs.mkdir(Scratch);
    }
    textsToGive.forEach((text, n) => fs.writeFile(Scratch + '/' + n, text));
    return true;
  } catch (e) {
    return false;
  }
}
function classRecords() { return children().map((c) => storedRecord(c.storedName)).filter(Boolean); }

section.update = () => {
  if (document.activeElement !== names) names.value = classList.map((c) => c.name).join('\n');
  const all = children();
  const chosen = whose.value;
  whose.textContent = '';
  if (!classList.length) element('option', { value: '', textContent: 'This device\'s record (no class)' }, whose);
  all.forEach((c) => element('option', { value: c.key, textContent: c.name + '\'s record' }, whose));
  whose.value = [...whose.options].some((o) => o.value === chosen) ? chosen : (currentPlayer() || {}).key || whose.options[0].value;
  whose.hidden = !all.length;
  const view = all.length && handOver(classRecords()) ? askGame('plimoClassView', Scratch) : null;
  table.textContent = all.length ? (view || table.textContent || 'The class is shown once the game has loaded.') : '';
  saveClass.disabled = !all.length;
  showRecordOf(all.find((c) => c.key === whose.value) || null);
};
whose.addEventListener('change', () => section.update());

function useList(text) {
  say('');
  const checked = checkNames(text);
  if (checked === null) return say('The class list can be checked once the game has loaded.', true);
  if (checked.fault) return say('The class list is not taken: ' + checked.fault + '.', true);
  classList = checked.names;
  try {
    if (classList.length) localStorage.setItem(ClassKey, JSON.stringify(classList));
    else localStorage.removeItem(ClassKey);
  } catch (e) {
    say('This browser does not let the page keep the class list: it lasts until the page is closed.', true);
  }
  if (!message.classList.contains('failed')) {
    say(classList.length ? `${classList.length} ${classList.length === 1 ? 'child' : 'children'}: each picks a name at the start.`
                         : 'No class list: the game keeps one record for this device.');
  }
  names.value = classList.map((c) => c.name).join('\n');
  section.update();
  if (!currentPlayer() || !classList.some((c) => c.key === currentPlayer().key)) setCurrentPlayer(null);
  if (!document.getElementById('start').hidden || !classList.length) showPick();
}
use.addEventListener('click', () => useList(names.value));
openList.addEventListener('click', () => listFile.click());
listFile.addEventListener('change', async () => {
  const file = listFile.files[0];
  listFile.value = '';
  if (!file) return;
  if (file.size > ListMaxChars * 4) return say(`${file.name} is no class list: larger than ${ListMaxChars * 4} bytes.`, true);
  const text = await file.text();
  names.value = text;
  useList(text);
});

// Saves text as a file of the device.
function saveFile(name, text) {
  const link = element('a', { download: name, href: URL.createObjectURL(new Blob([text], { type: 'text/csv' })) });
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}
saveClass.addEventListener('click', () => {
  const csv = handOver(classRecords()) ? askGame('plimoClassCsv', Scratch) : null;
  if (csv === null) return say('The class table can be saved once the game has loaded.', true);
  saveFile('plimo-class.csv', csv);
});

openRecords.addEventListener('click', () => recordFiles.click());
recordFiles.addEventListener('change', async () => {
  const files = [...recordFiles.files];
  recordFiles.value = '';
  if (!files.length) return;
  const most = (pageFacts() || {}).recordMaxBytes;
  const faults = [];
  const given = [];
  for (const file of files) {
    if (!most || file.size > most) {
      faults.push(most ? `${file.name} is no record: larger than ${most} bytes` : `${file.name} can be opened once the game has loaded`);
      continue;
    }
    const text = await file.text();
    if (/[\0\x1d\x1e\x1f]/.test(text)) faults.push(`${file.name} is no record: it holds control characters`);
    else given.push([file.name, text]);
  }
  const own = children().map((c) => storedRecord(c.storedName)).filter(Boolean);
  const answer = given.length && handOver(own.concat(given.map(([, text]) => text))) ? askGame('plimoMergeRecords', Scratch) : null;
  if (given.length && answer === null) faults.push('the records can be opened once the game has loaded');
  const merged = [];
  if (answer !== null && given.length) {
    const [lines, records] = answer.split('\x1d');
    lines.split('\n').filter(Boolean).forEach((line) => {
      const n = Number(line.slice(0, line.indexOf('|'))) - own.length;
      if (n >= 0) faults.push(`${given[n][0]} is no record: ${line.slice(line.indexOf('|') + 1)}`);
    });
    let refused = false;
    (records ? records.split('\x1e') : []).forEach((part) => {
      const [key, name, text] = part.split('\x1f');
      refused = !storeRecord(playerStorageName({ name, key }), text) || refused;
      merged.push(name);
    });
    if (refused) faults.push('this browser did not keep every record (no room, or storage refused)');
  }
  opened.textContent = (merged.length ? `Opened ${given.length - faults.filter((f) => / is no record/.test(f)).length} of ${files.length} ` +
                        `${files.length === 1 ? 'file' : 'files'}; kept, merged by name: ${merged.join(', ')}.` : 'Nothing opened.') +
                       (faults.length ? ' ' + faults.join('; ') + '.' : '');
  opened.classList.toggle('failed', faults.length > 0);
  section.update();
});

// Above the record's section, whose grids it chooses.
addPanelSection(section, true);
showPick();
section.update();
