// On-screen keys for touch screens. Each button is one key of the keyboard: touching it
// sends the game that key's press, letting go its release, as the same DOM keyboard
// events a real key gives (so the game sees the same SDL events): one press and one
// release per touch, never repeated, whether by finger, pen or mouse. The keys show on a
// touch screen (a coarse pointer, or at the first touch), hide when a real keyboard is
// used, and the bar's Keys button shows or hides them at any time.
'use strict';
(function () {
  var page = window.plimoPage;
  var canvas = document.getElementById('screen');
  var groups = [document.getElementById('nav'), document.getElementById('pad')];
  var toggle = document.getElementById('keys');

  // data-key -> the key's DOM identity: key, code and the legacy keyCode that
  // emscripten's SDL reads. Digits are the main row's; plus and minus the keypad's,
  // whose symbols the game takes as the signs whatever the keyboard layout.
  var table = {
    Escape: ['Escape', 'Escape', 27], Enter: ['Enter', 'Enter', 13], Backspace: ['Backspace', 'Backspace', 8],
    ArrowUp: ['ArrowUp', 'ArrowUp', 38], ArrowDown: ['ArrowDown', 'ArrowDown', 40],
    ArrowLeft: ['ArrowLeft', 'ArrowLeft', 37], ArrowRight: ['ArrowRight', 'ArrowRight', 39],
    '+': ['+', 'NumpadAdd', 107], '-': ['-', 'NumpadSubtract', 109]
  };
  for (var digit = 0; digit <= 9; digit++) table[digit] = [String(digit), 'Digit' + digit, 48 + digit];

  function send(type, name) {
    var k = table[name];
    var event = new KeyboardEvent(type, { key: k[0], code: k[1], bubbles: true, cancelable: true,
                                          location: k[1].indexOf('Numpad') === 0 ? 3 : 0 });
    // Not settable through the constructor in every browser.
    Object.defineProperty(event, 'keyCode', { value: k[2] });
    Object.defineProperty(event, 'which', { value: k[2] });
    canvas.dispatchEvent(event);
  }

  groups.forEach(function (group) {
    Array.prototype.forEach.call(group.querySelectorAll('button[data-key]'), function (button) {
      var name = button.getAttribute('data-key');
      var pointer = null; // the pointer holding the button down
      button.addEventListener('pointerdown', function (event) {
        event.preventDefault(); // no focus move, no text selection, no mouse events after it
        if (pointer !== null || !page.started) return;
        pointer = event.pointerId;
        if (button.setPointerCapture) button.setPointerCapture(pointer);
        button.classList.add('down');
        send('keydown', name);
      });
      var release = function (event) {
        if (event.pointerId !== pointer) return;
        pointer = null;
        button.classList.remove('down');
        send('keyup', name);
      };
      button.addEventListener('pointerup', release);
      button.addEventListener('pointercancel', release);
      button.addEventListener('lostpointercapture', release);
    });
    group.addEventListener('contextmenu', function (event) { event.preventDefault(); });
  });

  function show(on) {
    page.touchKeysShown = on;
    document.body.classList.toggle('touch', on);
    groups.forEach(function (group) { group.hidden = !on; });
    toggle.setAttribute('aria-pressed', String(on));
    page.hint();
  }

  show(window.matchMedia('(pointer: coarse)').matches);
  toggle.addEventListener('click', function () { show(!page.touchKeysShown); });
  window.addEventListener('pointerdown', function (event) {
    if (event.pointerType === 'touch' && !page.touchKeysShown && !toggle.contains(event.target)) show(true);
  }, true);
  page.onKeyboard = function () {
    if (page.touchKeysShown) show(false);
  };
})();
