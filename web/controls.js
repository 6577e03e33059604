// On-screen keys for touch screens. Each button is one key of the keyboard: touching it
// sends the game that key's press, letting go its release, as the same DOM keyboard
// events a real key gives (so the game sees the same SDL events): one press and one
// release per touch, never repeated, whether by finger, pen or mouse. On the language
// screen, whose list steps to the previous language on Down, the arrows ▲ and ▼ send the
// key that moves the highlight the way they point (the keyboard's keys keep their
// meaning). The keys show on a touch screen (a coarse pointer, or at the first touch),
// fold away when a real keyboard is used, and the bar's Keys button shows or hides them.
import { askGameNumber, currentScreen, gameRunning, pageFacts, setTouchKeysShown } from './page.js';

const canvas = document.getElementById('screen');
const groups = [document.getElementById('nav'), document.getElementById('pad')];
const toggle = document.getElementById('keys');

// data-key -> the key's DOM identity: key, code and the legacy keyCode that emscripten's
// SDL reads. Digits are the main row's; plus and minus the keypad's, whose symbols the
// game takes as the signs whatever the keyboard layout.
const table = {
  Escape: ['Escape', 'Escape', 27], Enter: ['Enter', 'Enter', 13], Backspace: ['Backspace', 'Backspace', 8],
  ArrowUp: ['ArrowUp', 'ArrowUp', 38], ArrowDown: ['ArrowDown', 'ArrowDown', 40],
  ArrowLeft: ['ArrowLeft', 'ArrowLeft', 37], ArrowRight: ['ArrowRight', 'ArrowRight', 39],
  '+': ['+', 'NumpadAdd', 107], '-': ['-', 'NumpadSubtract', 109], p: ['p', 'KeyP', 80]
};
for (let digit = 0; digit <= 9; digit++) table[digit] = [String(digit), 'Digit' + digit, 48 + digit];
// The Pause key pauses a game only where the game offers the pause (a practice setting
// on: the game says so once it has read its words); it stands in its place, unseen, in a
// game without one.
const pause = document.querySelector('[data-key="p"]');
document.addEventListener('plimo-running', () => {
  pause.classList.toggle('unused', askGameNumber('plimoPauseOffered') !== 1);
});
// The language screen lists the languages downwards in the order Up steps through them.
const onLanguageScreen = { ArrowUp: 'ArrowDown', ArrowDown: 'ArrowUp' };

function send(type, name) {
  const k = table[name];
  const event = new KeyboardEvent(type, { key: k[0], code: k[1], bubbles: true, cancelable: true,
                                          location: k[1].indexOf('Numpad') === 0 ? 3 : 0 });
  // Not settable through the constructor in every browser.
  Object.defineProperty(event, 'keyCode', { value: k[2] });
  Object.defineProperty(event, 'which', { value: k[2] });
  canvas.dispatchEvent(event);
}

for (const group of groups) {
  for (const button of group.querySelectorAll('button[data-key]')) {
    let pointer = null; // the pointer holding the button down
    let name = null; // the key sent at its press, released at its release
    button.addEventListener('pointerdown', (event) => {
      event.preventDefault(); // no focus move, no text selection, no mouse events after it
      if (pointer !== null || !gameRunning()) return;
      pointer = event.pointerId;
      if (button.setPointerCapture) button.setPointerCapture(pointer);
      button.classList.add('down');
      name = button.dataset.key;
      if (pageFacts() && currentScreen() === pageFacts().screens.LanguagePick && onLanguageScreen[name]) name = onLanguageScreen[name];
      send('keydown', name);
    });
    const release = (event) => {
      if (event.pointerId !== pointer) return;
      pointer = null;
      button.classList.remove('down');
      send('keyup', name);
    };
    button.addEventListener('pointerup', release);
    button.addEventListener('pointercancel', release);
    button.addEventListener('lostpointercapture', release);
  }
  group.addEventListener('contextmenu', (event) => event.preventDefault());
}

let shown = false;
function show(on) {
  shown = on;
  document.body.classList.toggle('touch', on);
  groups.forEach((group) => { group.hidden = !on; });
  toggle.setAttribute('aria-pressed', String(on));
  setTouchKeysShown(on);
}

show(window.matchMedia('(pointer: coarse)').matches);
toggle.addEventListener('click', () => show(!shown));
window.addEventListener('pointerdown', (event) => {
  if (event.pointerType === 'touch' && !shown && !toggle.contains(event.target)) show(true);
}, true);
// A key of a real keyboard aimed at the game folds the keys away, and the game grows.
document.addEventListener('plimo-keyboard', () => { if (shown) show(false); });
