// The progress record in the browser, kept when that setting is chosen: the game keeps
// it as the desktop game does, in progress.csv in its own file system; this page keeps
// that file in this browser's localStorage, on this device and for this copy of the game
// only (it is never sent anywhere), writes it back into the game's file system before the
// game starts and reads it again whenever the game has written it (after each game) and
// when the page is hidden. The practice settings panel gets a section that shows the
// record as the grids the desktop game prints, with "Save as CSV" (written for a
// spreadsheet: spreadsheetCsv) and "Forget this record".
//
// With a class (class.js), each child's record is kept apart, under a name of its own
// made of the child's name as names are compared (playerStorageName), and the panel
// shows the record of the child chosen there (showRecordOf); a child's first game starts
// from a record that carries the child's name, so that the game keeps it inside.
//
// A stored record is judged before the game sees it: one larger than the record's limit
// (the game's own, plimoProgressMaxBytes), one holding a NUL, or one the game cannot read
// is set aside under a name of its own (plimo-progress-damaged-<date>), said so in the
// panel, and never passed to the game; Forget removes those copies too.
import { askGame, askGameNumber, currentPlayer, gameFiles, pageFacts, storageKey, storedItems } from './page.js';
import { addPanelSection } from './settings.js';

// A cell of a CSV meant for a spreadsheet. A cell beginning with =, +, -, @, a tab or a
// carriage return, which a spreadsheet would take as a formula, and one beginning with
// the apostrophe that marks it, is written quoted with an apostrophe before it
// ("'=SUM(A1)", "'-1 + 2"): the spreadsheet shows it as text, and the game's reader of the
// record drops the apostrophe of a quoted cell again (src/record/progress_record.cpp), so
// that the file reads back as it was. Any other cell holding a quote, a comma or a line
// break is quoted; quotes inside quotes are doubled. Every other cell is as it is.
export function spreadsheetCell(cell) {
  var formula = /^[=+\-@\t\r']/.test(cell);
  if (!formula && !/[",\r\n]/.test(cell)) return cell;
  return '"' + (formula ? "'" : '') + cell.replace(/"/g, '""') + '"';
}

// The cells of CSV text, record by record, read as the game reads its record (quotes,
// doubled quotes and line breaks inside quotes; LF or CRLF ends a record).
function csvRecords(text) {
  var records = [];
  var record = [''];
  var quoted = false;
  var any = false;
  for (var i = 0; i < text.length; i++) {
    var c = text[i];
    any = true;
    if (quoted) {
      if (c === '"' && text[i + 1] === '"') { record[record.length - 1] += '"'; i++; }
      else if (c === '"') quoted = false;
      else record[record.length - 1] += c;
    } else if (c === '"') {
      quoted = true;
    } else if (c === ',') {
      record.push('');
    } else if (c === '\n' || (c === '\r' && text[i + 1] === '\n')) {
      if (c === '\r') i++;
      records.push(record);
      record = [''];
      any = false;
    } else {
      record[record.length - 1] += c;
    }
  }
  if (any) records.push(record);
  return records;
}

// CSV text written again for a spreadsheet, cell by cell (spreadsheetCell), one line
// each, ending in a line break.
export function spreadsheetCsv(text) {
  return csvRecords(text).map(function (record) { return record.map(spreadsheetCell).join(','); }).join('\n') + '\n';
}

// The stored name of the record of player ({ name, key } as class.js has them; null: the
// device's own record, kept when no class is set).
export function playerStorageName(player) {
  return player ? storageKey('plimo-player-' + encodeURIComponent(player.key)) : storageKey('plimo-progress');
}
// The record kept under a stored name, '' when none.
export function storedRecord(name) {
  try {
    return localStorage.getItem(name) || '';
  } catch (e) {
    return '';
  }
}
// Keeps text under a stored name ('' removes it); false when the browser refused.
export function storeRecord(name, text) {
  try {
    if (text) localStorage.setItem(name, text);
    else localStorage.removeItem(name);
    return true;
  } catch (e) {
    return false; // storage refused: the record lasts as long as this page
  }
}
const shownPlayer = { player: null, show: null }; // whose record the panel shows, and how to show it again
// The panel shows player's record (null: the device's own).
export function showRecordOf(player) {
  shownPlayer.player = player;
  if (shownPlayer.show) shownPlayer.show();
}

{
  var DamagedName = 'plimo-progress-damaged-';
  // Where the game keeps the record (the game's own path, HOME being emscripten's
  // /home/web_user), once a game has loaded.
  var Path = null;
  var Folder = null;
  function knowPath() {
    if (!Path && pageFacts()) {
      Path = pageFacts().recordPath;
      Folder = Path.slice(0, Path.lastIndexOf('/'));
    }
    return !!Path;
  }
  var NotPlayedShown = '·'; // the not-played mark as the grid shows it: a dot that does not shout

  // The record the game plays with: its player's, the one playing now.
  var playing = function () { return playerStorageName(currentPlayer()); };
  // The record the panel shows.
  var shown = function () { return playerStorageName(shownPlayer.player); };

  // ---- the record as the game judges it (the desktop's grids): read by the game itself

  // The game's view of text (see web/page_exports.cpp): { damaged } or { facts,
  // lastPlayed, legend: [[mark, meaning]], grids: [title], cells: [{ grid, row, column,
  // mark, fact, asked, rightFirstTry, wrong, tooSlow }], gridMax }; null while no game is
  // loaded.
  function view(text) {
    var lines = askGame('plimoProgressView', text);
    if (lines === null) return null;
    var v = { damaged: '', facts: 0, lastPlayed: '', gridMax: 0, legend: [], grids: [], cells: [] };
    lines.split('\n').forEach(function (line) {
      var f = line.split('|');
      if (f[0] === '!') v.damaged = f.slice(1).join('|');
      else if (f[0] === 'S') { v.facts = Number(f[1]); v.lastPlayed = f[2]; v.gridMax = Number(f[3]); }
      else if (f[0] === 'L') v.legend.push([f[1], f[2], f[3]]);
      else if (f[0] === 'G') v.grids.push(f[1]);
      else if (f[0] === 'C') {
        v.cells.push({ grid: Number(f[1]), row: Number(f[2]), column: Number(f[3]), mark: f[4], fact: f[5],
                       asked: f[6], rightFirstTry: f[7], wrong: f[8], tooSlow: f[9] });
      }
    });
    return v;
  }
  var lastView = null; // the last view the game gave, shown while no game is loaded

  // A mark's state ("fluent", ..., "notPlayed"), its meaning, and the mark as the grid
  // shows it, from the game's legend in view v.
  function legendOf(v, mark) {
    return v.legend.find(function (l) { return l[0] === mark; }) || [mark, mark, 'notPlayed'];
  }
  function stateOf(v, mark) { return legendOf(v, mark)[2]; }
  function meaningOf(v, mark) { return legendOf(v, mark)[1]; }
  function notPlayedMark(v) {
    var l = v.legend.find(function (x) { return x[2] === 'notPlayed'; });
    return l ? l[0] : '';
  }
  function shownMark(v, mark) { return stateOf(v, mark) === 'notPlayed' ? NotPlayedShown : mark; }

  // ---- judging a stored record before the game sees it

  var maxBytes = null; // the record's limit in bytes, from the game once it is loaded
  var setAsideNote = ''; // what the panel says of a record set aside

  // Why text may not reach the game ('' when it may): larger than the record's limit, a
  // NUL in it, or no record by the game's own reading. null while no game is loaded.
  function wrongWith(text) {
    if (maxBytes === null) maxBytes = askGameNumber('plimoProgressMaxBytes');
    if (maxBytes === null) return null;
    if (text.length > maxBytes || new TextEncoder().encode(text).length > maxBytes)
      return 'larger than a record may be, ' + maxBytes + ' bytes';
    if (text.indexOf('\0') >= 0) return 'a NUL character in it';
    var v = view(text);
    return v === null ? null : v.damaged;
  }

  function damagedCopies() {
    return storedItems().filter(function (key) { return key.indexOf(DamagedName) === 0; });
  }

  // A damaged record under a name of its own, the next free one of the day.
  function setAside(from, text, why) {
    var base = storageKey(DamagedName + new Date().toISOString().slice(0, 10));
    var name = base;
    for (var n = 2; damagedCopies().indexOf(name) >= 0; n++) name = base.replace(/ /, '-' + n + ' ');
    try {
      localStorage.setItem(name, text);
    } catch (e) {
      // no room for two: the copy takes the record's place
      storeRecord(from, '');
      try { localStorage.setItem(name, text); } catch (e2) { /* refused: only the note is left */ }
    }
    storeRecord(from, '');
    setAsideNote = 'The record kept in this browser was damaged (' + why + '): it is set aside and not used, ' +
                   'and the next game starts a new one. Save as CSV saves it for a look while there is no new record; ' +
                   'Forget this record removes it too.';
    console.warn('Plimo: ' + setAsideNote);
  }

  // The record stored under name once judged: '' when there is none or it was damaged
  // (and is set aside now); null while no game is loaded to judge it.
  function record(name) {
    var text = storedRecord(name);
    if (!text) return '';
    var why = wrongWith(text);
    if (why === null) return null;
    if (!why) return text;
    setAside(name, text, why);
    return '';
  }

  // ---- the game's file system

  function fileSystem() { return gameFiles(); }

  var lastSeen = null; // the record as last read from, or written into, the game's files

  // Before the game starts: the kept record becomes the game's progress.csv (a child of
  // the class without one yet gets a record of its name alone).
  function seed() {
    var fs = fileSystem();
    var text = record(playing());
    if (!text && currentPlayer()) text = askGame('plimoNamedRecord', currentPlayer().name) || '';
    shownPlayer.player = currentPlayer();
    if (!fs || !text || !knowPath()) return;
    var path = '';
    Folder.split('/').slice(1).forEach(function (part) {
      path += '/' + part;
      try { fs.mkdir(path); } catch (e) { /* there already */ }
    });
    fs.writeFile(Path, text);
    lastSeen = text;
  }

  // After the game has written it: the record is kept in localStorage.
  function collect() {
    var fs = fileSystem();
    if (!fs || !knowPath()) return;
    var text;
    try {
      text = fs.readFile(Path, { encoding: 'utf8' });
    } catch (e) {
      return; // no record written yet
    }
    if (text === lastSeen) return;
    lastSeen = text;
    // A damaged record the game has put aside is kept aside here too, never lost unseen.
    record(playing());
    storeRecord(playing(), text);
    show();
  }

  // Each run of the game is a fresh instance with files of its own: seeded as it starts,
  // read back while it runs and once more as it ends.
  document.addEventListener('plimo-started', seed);
  document.addEventListener('plimo-ended', collect);
  setInterval(collect, 1000);
  document.addEventListener('visibilitychange', function () { if (document.hidden) collect(); });
  window.addEventListener('pagehide', collect);

  // ---- the panel's section

  function element(tag, properties, parent) {
    var e = document.createElement(tag);
    for (var key in properties) e[key] = properties[key];
    if (parent) parent.appendChild(e);
    return e;
  }

  var section = element('section', { id: 'progress-section' });
  element('p', { className: 'progress-title', textContent: 'Progress record, kept in this browser only' }, section);
  var damagedLine = element('p', { id: 'progress-damaged', className: 'failed', hidden: true }, section);
  var summary = element('p', { id: 'progress-summary' }, section);
  var chooser = element('select', { id: 'progress-grid-choice', title: 'Which facts' }, section);
  var how = element('p', { id: 'progress-how' }, section);
  var table = element('table', { id: 'progress-grid' }, section);
  var legend = element('p', { id: 'progress-legend' }, section);
  var beyond = element('p', { id: 'progress-beyond' }, section);
  var buttons = element('div', { className: 'progress-buttons' }, section);
  var save = element('button', { id: 'progress-save', type: 'button', textContent: 'Save as CSV' }, buttons);
  // Apart from the others, so that a finger meant for Save never lands on it.
  var forget = element('button', { id: 'progress-forget', type: 'button', className: 'destructive', textContent: 'Forget this record' }, buttons);
  var confirmLine = element('p', { id: 'progress-confirm', hidden: true }, section);
  confirmLine.appendChild(document.createTextNode('Forget every fact kept in this browser? '));
  var no = element('button', { id: 'progress-forget-no', type: 'button', textContent: 'Keep it' }, confirmLine);
  var yes = element('button', { id: 'progress-forget-yes', type: 'button', className: 'destructive', textContent: 'Forget' }, confirmLine);

  // The grids, the legend and the chooser come from the game's view of the record; until a
  // game has loaded, the last view stands (or a line saying the game is loading).
  function show() {
    var text = record(shown());
    var judged = text === null ? null : view(text);
    if (judged) lastView = judged;
    var v = judged || lastView;
    save.disabled = !text && !damagedCopies().length;
    forget.disabled = save.disabled;
    damagedLine.textContent = setAsideNote;
    damagedLine.hidden = !setAsideNote;
    if (!v) {
      summary.textContent = text === null ? 'The record is shown once the game has loaded.' :
        'No games kept yet: switch on keeping a record of the facts played, then play.';
      return;
    }
    if (!chooser.options.length) {
      v.grids.forEach(function (title, i) { element('option', { value: String(i), textContent: title.split(':')[0] }, chooser); });
      v.legend.forEach(function (l) {
        var line = element('span', {}, legend);
        element('b', { className: 'progress-' + l[2], textContent: shownMark(v, l[0]) }, line);
        line.appendChild(document.createTextNode(' ' + l[1]));
      });
    }
    if (v.damaged) {
      // Never thrown away unseen: the damaged record stays for Save as CSV.
      summary.textContent = 'The record kept in this browser is damaged (' + v.damaged +
                            '). Save it as CSV to look at it, or forget it to start afresh.';
    } else if (!text || !v.facts) {
      summary.textContent = 'No games kept yet: switch on keeping a record of the facts played, then play.';
    } else {
      summary.textContent = v.facts + ' facts played, last on ' + v.lastPlayed + '.';
    }
    var grid = Number(chooser.value) || 0;
    how.textContent = v.grids[grid] || '';
    var marks = {};
    var far = [];
    var cells = text && !v.damaged ? v.cells : [];
    cells.forEach(function (cell) {
      if (cell.grid < 0) far.push(cell.fact + ' ' + stateOf(v, cell.mark));
      else if (cell.grid === grid) marks[cell.row + ',' + cell.column] = cell;
    });
    table.textContent = '';
    var head = element('tr', {}, element('thead', {}, table));
    element('th', {}, head);
    for (var c = 0; c <= v.gridMax; c++) element('th', { textContent: String(c) }, head);
    var body = element('tbody', {}, table);
    for (var r = 0; r <= v.gridMax; r++) {
      var line = element('tr', {}, body);
      element('th', { textContent: String(r) }, line);
      for (c = 0; c <= v.gridMax; c++) {
        var cell = marks[r + ',' + c];
        var mark = cell ? cell.mark : notPlayedMark(v);
        var td = element('td', { className: 'progress-' + stateOf(v, mark), textContent: shownMark(v, mark) }, line);
        td.title = cell ? cell.fact + ': ' + meaningOf(v, mark) + ' (asked ' + cell.asked + ', right at the first try ' +
                          cell.rightFirstTry + ', wrong ' + cell.wrong + ', too slow ' + cell.tooSlow + ')' : 'not yet played';
      }
    }
    beyond.textContent = far.length ? 'Beyond ' + v.gridMax + ': ' + far.join(', ') : '';
  }

  shownPlayer.show = show;

  // A game's instance is loaded: the record can be judged.
  document.addEventListener('plimo-ready', show);

  chooser.addEventListener('change', show);

  // What Save as CSV saves: the record, or with none the damaged copy set aside last, for
  // a look at it.
  function saved() {
    var text = record(shown());
    if (text) return text;
    var copies = damagedCopies().sort();
    try {
      return copies.length ? localStorage.getItem(copies[copies.length - 1]) || '' : '';
    } catch (e) {
      return '';
    }
  }

  save.addEventListener('click', function () {
    var link = element('a', { download: shownPlayer.player ? 'plimo-progress-' + shownPlayer.player.name + '.csv' : 'plimo-progress.csv',
                              href: URL.createObjectURL(new Blob([spreadsheetCsv(saved())], { type: 'text/csv' })) });
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 10000);
  });

  forget.addEventListener('click', function () { confirmLine.hidden = false; });
  no.addEventListener('click', function () { confirmLine.hidden = true; });
  yes.addEventListener('click', function () {
    confirmLine.hidden = true;
    var name = shown();
    storeRecord(name, '');
    damagedCopies().forEach(function (key) {
      try { localStorage.removeItem(key); } catch (e) { /* refused */ }
    });
    setAsideNote = '';
    // The game's copy too, and what it kept aside as damaged: its next game starts a
    // new record.
    var fs = fileSystem();
    if (fs && name === playing() && knowPath()) {
      try {
        fs.readdir(Folder).forEach(function (name) {
          if (name.indexOf('progress.csv') !== 0) return;
          // emscripten's memory file system keeps a file that a rename replaced findable
          // by its name until that name is unlinked again: unlinked until none is left.
          for (var n = 0; n < 10000; n++) {
            try { fs.unlink(Folder + '/' + name); } catch (e) { break; }
          }
        });
      } catch (e) { /* no folder yet */ }
    }
    lastSeen = null;
    show();
  });

  addPanelSection(section);
  show();
}
