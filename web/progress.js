// The progress record in the browser (--remember): the game keeps it as the desktop game
// does, in progress.csv in its own file system; this page keeps that file in this
// browser's localStorage, on this device only (it is never sent anywhere), writes it
// back into the game's file system before the game starts and reads it again whenever
// the game has written it (after each game) and when the page is hidden. The practice
// settings panel gets a section that shows the record as the grids of plimo --progress,
// with "Save as CSV" and "Forget this record".
import { gameFiles } from './page.js';
import { addPanelSection } from './settings.js';

{
  var StorageKey = 'plimo-progress';
  // Where the game keeps the record: $HOME/.local/share/plimo/progress.csv, HOME being
  // emscripten's /home/web_user.
  var Folder = '/home/web_user/.local/share/plimo';
  var Path = Folder + '/progress.csv';
  var Header = 'fact,asked,right first try,wrong,too slow,median ms,last played';
  var FluentMedianMs = 3000;
  var GridMax = 12;
  var Marks = { fluent: 'F', slow: 's', stuck: 'X', none: '·' };
  var Grids = [
    { op: '*', name: 'Multiplication', how: 'row × column (7 × 8 is row 7, column 8)' },
    { op: '/', name: 'Division', how: 'row is the divisor, column the answer (56 ÷ 7 is row 7, column 8)' },
    { op: '+', name: 'Addition', how: 'row + column (9 + 4 is row 9, column 4)' },
    { op: '-', name: 'Subtraction', how: 'row is the number taken away, column the answer (13 − 9 is row 9, column 4)' }
  ];

  function stored() {
    try {
      return localStorage.getItem(StorageKey) || '';
    } catch (e) {
      return '';
    }
  }
  function store(text) {
    try {
      if (text) localStorage.setItem(StorageKey, text);
      else localStorage.removeItem(StorageKey);
    } catch (e) {
      // storage refused: the record lasts as long as this page
    }
  }

  // ---- the record's text, read as the game reads it (quoted fields, CRLF allowed)

  function splitCsv(text) {
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
    if (quoted) throw new Error('a quoted field is never closed');
    if (any) records.push(record);
    return records;
  }

  // The rows of a record: { fact, a, op, b, asked, rightFirstTry, wrong, tooSlow, medianMs, lastPlayed }.
  function parse(text) {
    var records = splitCsv(text);
    if (!records.length || records[0].join(',') !== Header) throw new Error('line 1 is not the header');
    var rows = [];
    for (var n = 1; n < records.length; n++) {
      var f = records[n];
      if (f.length === 1 && f[0] === '') continue;
      var fact = /^(\d+) ([-+*/]) (\d+)$/.exec(f[0]);
      var counts = f.slice(1, 5).concat(f[5] === '' ? ['0'] : [f[5]]);
      if (f.length !== 7 || !fact || !counts.every(function (v) { return /^\d{1,15}$/.test(v); }) ||
          !/^\d{4}-\d\d-\d\d$/.test(f[6])) throw new Error('line ' + (n + 1) + ' is no fact of the record');
      rows.push({ fact: f[0], a: Number(fact[1]), op: fact[2], b: Number(fact[3]), asked: Number(f[1]),
                  rightFirstTry: Number(f[2]), wrong: Number(f[3]), tooSlow: Number(f[4]),
                  medianMs: f[5] === '' ? -1 : Number(f[5]), lastPlayed: f[6] });
    }
    return rows;
  }

  // As the game judges a fact (plimo --progress).
  function state(row) {
    if (row.asked <= 0) return 'none';
    if (2 * row.rightFirstTry < row.asked) return 'stuck';
    if (5 * row.rightFirstTry >= 4 * row.asked && row.medianMs >= 0 && row.medianMs <= FluentMedianMs) return 'fluent';
    return 'slow';
  }

  // Its grid's row and column, or null beyond 12.
  function cell(row) {
    var r = row.a, c = row.b;
    if (row.op === '/') {
      if (row.b === 0 || row.a % row.b) return null;
      r = row.b; c = row.a / row.b;
    } else if (row.op === '-') {
      if (row.a < row.b) return null;
      r = row.b; c = row.a - row.b;
    }
    return r <= GridMax && c <= GridMax ? { r: r, c: c } : null;
  }

  // ---- the game's file system

  function fileSystem() { return gameFiles(); }

  var lastSeen = null; // the record as last read from, or written into, the game's files

  // Before the game starts: the kept record becomes the game's progress.csv.
  function seed() {
    var fs = fileSystem();
    var text = stored();
    if (!fs || !text) return;
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
    if (!fs) return;
    var text;
    try {
      text = fs.readFile(Path, { encoding: 'utf8' });
    } catch (e) {
      return; // no record written yet
    }
    if (text === lastSeen) return;
    lastSeen = text;
    // A damaged record the game has put aside is kept aside here too, never lost unseen.
    var old = stored();
    try {
      if (old) parse(old);
    } catch (e) {
      try { localStorage.setItem(StorageKey + '-damaged-' + new Date().toISOString().slice(0, 10), old); } catch (e2) { /* full */ }
    }
    store(text);
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
  var summary = element('p', { id: 'progress-summary' }, section);
  var chooser = element('select', { id: 'progress-grid-choice', title: 'Which facts' }, section);
  Grids.forEach(function (g, i) { element('option', { value: String(i), textContent: g.name }, chooser); });
  var how = element('p', { id: 'progress-how' }, section);
  var table = element('table', { id: 'progress-grid' }, section);
  var legend = element('p', { id: 'progress-legend' }, section);
  [['fluent', 'fluent: right at the first try at least 4 times in 5, half the answers within 3 s'],
   ['slow', 'slow: right at the first try at least half the times'],
   ['stuck', 'stuck: right at the first try fewer than half the times'],
   ['none', 'not yet played']].forEach(function (l) {
    var line = element('span', {}, legend);
    element('b', { className: 'progress-' + l[0], textContent: Marks[l[0]] }, line);
    line.appendChild(document.createTextNode(' ' + l[1]));
  });
  var beyond = element('p', { id: 'progress-beyond' }, section);
  var buttons = element('div', { className: 'progress-buttons' }, section);
  var save = element('button', { id: 'progress-save', type: 'button', textContent: 'Save as CSV' }, buttons);
  var forget = element('button', { id: 'progress-forget', type: 'button', textContent: 'Forget this record' }, buttons);
  var confirmLine = element('p', { id: 'progress-confirm', hidden: true }, section);
  confirmLine.appendChild(document.createTextNode('Forget every fact kept in this browser? '));
  var yes = element('button', { id: 'progress-forget-yes', type: 'button', textContent: 'Forget' }, confirmLine);
  var no = element('button', { id: 'progress-forget-no', type: 'button', textContent: 'Keep it' }, confirmLine);

  function show() {
    var text = stored();
    var rows = [];
    var damaged = '';
    if (text) {
      try {
        rows = parse(text);
      } catch (e) {
        damaged = e.message;
      }
    }
    if (damaged) {
      // Never thrown away unseen: the damaged record stays for Save as CSV.
      summary.textContent = 'The record kept in this browser is damaged (' + damaged +
                            '). Save it as CSV to look at it, or forget it to start afresh.';
    } else if (!rows.length) {
      summary.textContent = 'No games kept yet: switch on keeping a record of the facts played, then play.';
    } else {
      var last = rows.reduce(function (d, r) { return r.lastPlayed > d ? r.lastPlayed : d; }, '');
      summary.textContent = rows.length + ' facts played, last on ' + last + '.';
    }
    var grid = Grids[Number(chooser.value) || 0];
    how.textContent = grid.name + ': ' + grid.how;
    var marks = {};
    var far = [];
    rows.forEach(function (row) {
      var at = cell(row);
      if (!at) far.push(row.fact + ' ' + state(row));
      else if (row.op === grid.op) marks[at.r + ',' + at.c] = row;
    });
    table.textContent = '';
    var head = element('tr', {}, element('thead', {}, table));
    element('th', {}, head);
    for (var c = 0; c <= GridMax; c++) element('th', { textContent: String(c) }, head);
    var body = element('tbody', {}, table);
    for (var r = 0; r <= GridMax; r++) {
      var line = element('tr', {}, body);
      element('th', { textContent: String(r) }, line);
      for (c = 0; c <= GridMax; c++) {
        var row = marks[r + ',' + c];
        var s = row ? state(row) : 'none';
        var td = element('td', { className: 'progress-' + s, textContent: Marks[s] }, line);
        td.title = row ? row.fact + ': ' + s + ' (asked ' + row.asked + ', right at the first try ' + row.rightFirstTry +
                         ', wrong ' + row.wrong + ', too slow ' + row.tooSlow + ')' : 'not yet played';
      }
    }
    beyond.textContent = far.length ? 'Beyond 12: ' + far.join(', ') : '';
    save.disabled = forget.disabled = !text;
  }

  chooser.addEventListener('change', show);

  save.addEventListener('click', function () {
    var link = element('a', { download: 'plimo-progress.csv',
                              href: URL.createObjectURL(new Blob([stored()], { type: 'text/csv' })) });
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 10000);
  });

  forget.addEventListener('click', function () { confirmLine.hidden = false; });
  no.addEventListener('click', function () { confirmLine.hidden = true; });
  yes.addEventListener('click', function () {
    confirmLine.hidden = true;
    store('');
    // The game's copy too, and what it kept aside as damaged: its next game starts a
    // new record.
    var fs = fileSystem();
    if (fs) {
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
