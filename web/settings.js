// The practice settings for parents and teachers: a gear button in the bar, beside Full
// screen, opens a small panel with the game's four practice switches (all off at first).
// They are kept in this browser's localStorage, on this device only, and passed to the
// game as its command-line options, the desktop game's own words. The game reads them
// when it starts, so a change made while it runs offers to restart the page.
'use strict';
(function () {
  var page = window.plimoPage;
  var canvas = document.getElementById('screen');
  var StorageKey = 'plimo-practice';
  var switches = [
    ['--gentle', 'Gentle pace: the problems speed up less often, and only up to a point'],
    ['--show-answers', 'After a mistake, show the whole fact with its answer'],
    ['--repeat-missed', 'Ask missed facts again until answered right twice in a row'],
    ['--practice-list', 'At the end of a game, list the facts to practise']
  ];
  var words = switches.map(function (s) { return s[0]; });

  function load() {
    try {
      var kept = JSON.parse(localStorage.getItem(StorageKey) || '[]');
      return Array.isArray(kept) ? kept.filter(function (w) { return words.indexOf(w) >= 0; }) : [];
    } catch (e) {
      return []; // storage refused or unreadable: every setting off
    }
  }
  var chosen = load();

  // The game's command line: the page's own arguments, then the chosen words.
  function pass() {
    page.arguments = page.arguments.filter(function (w) { return words.indexOf(w) < 0; }).concat(chosen);
  }
  pass();

  var button = document.createElement('button');
  button.id = 'practice';
  button.type = 'button';
  button.textContent = '⚙';
  button.title = 'Practice settings (for parents and teachers)';
  button.setAttribute('aria-label', button.title);
  button.setAttribute('aria-expanded', 'false');
  var fullscreen = document.getElementById('fullscreen');
  fullscreen.parentNode.insertBefore(button, fullscreen);

  var panel = document.createElement('div');
  panel.id = 'practice-panel';
  panel.hidden = true;
  var title = document.createElement('p');
  title.textContent = 'Practice settings, kept on this device only';
  panel.appendChild(title);
  switches.forEach(function (s) {
    var label = document.createElement('label');
    var box = document.createElement('input');
    box.type = 'checkbox';
    box.value = s[0];
    box.checked = chosen.indexOf(s[0]) >= 0;
    box.addEventListener('change', function () {
      chosen = words.filter(function (w) { return panel.querySelector('input[value="' + w + '"]').checked; });
      try {
        localStorage.setItem(StorageKey, JSON.stringify(chosen));
      } catch (e) {
        // not kept: this visit still uses the choice
      }
      pass();
      restart.hidden = !page.started;
    });
    label.appendChild(box);
    label.appendChild(document.createTextNode(' ' + s[1]));
    panel.appendChild(label);
  });
  var restart = document.createElement('button');
  restart.id = 'practice-restart';
  restart.type = 'button';
  restart.textContent = 'Restart the game with these settings';
  restart.hidden = true;
  restart.addEventListener('click', function () { location.reload(); });
  panel.appendChild(restart);
  document.body.appendChild(panel);

  button.addEventListener('click', function () {
    panel.hidden = !panel.hidden;
    button.setAttribute('aria-expanded', String(!panel.hidden));
    if (panel.hidden) canvas.focus();
  });
})();
