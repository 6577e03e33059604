#!/usr/bin/python3
"""Answers typed from the main keyboard under the us, fr and de keyboard maps.

Run by layouts.sh: the real game in a window on its own virtual X server, real key
presses through xdotool, the screen read back over an X connection of our own. For each
keyboard map the game is started afresh and played twice:

- The sign quiz (the main menu's second entry): the main keyboard's plus answers the
  first problem. Judged right, the score changes; judged wrong, the prompt hides for the
  block, and keypad minus must then be right (so the problem was negative and our key
  was plus).
- Multiplication at the hardest difficulty, where most answers have two or three digits
  (a problem with a one-digit answer is left for a fresh game): each top-row key of the
  map (with Shift where the map types its digit with Shift) and the main keyboard's plus
  and minus are typed as the first key of an answer. The answer prompt must then show
  exactly what the keypad key of the same answer shows in the same game state; Backspace
  clears the prompt between keys.

Every wait polls the screen against a generous time-out, so that a loaded machine only
makes the run slower. A key that is not taken or a prompt that differs is recorded and
the run goes on, so that one run lists every key that fails; the exit status is 1 if
anything failed.

Usage: layouts.py PLIMO_BINARY DATA_DIR [LAYOUT...]   (default: us fr de)
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageChops
from Xlib import X, display as xdisplay

# ---------------------------------------------------------------- keyboard maps

# The keys touched, as an evdev keyboard numbers them: the top row (10 = the key left of
# 2, ... 21 = the key left of Backspace), the two keys right of P (34, 35), the two right
# of L (47, 48), the key above Return (51) and the last letter-row key before right Shift
# (61). Each entry is the unshifted and the shifted symbol, as each layout prints them.
KEYMAPS = {
    "us": {
        10: "1 exclam", 11: "2 at", 12: "3 numbersign", 13: "4 dollar", 14: "5 percent",
        15: "6 asciicircum", 16: "7 ampersand", 17: "8 asterisk", 18: "9 parenleft",
        19: "0 parenright", 20: "minus underscore", 21: "equal plus",
        34: "bracketleft braceleft", 35: "bracketright braceright", 47: "semicolon colon",
        48: "apostrophe quotedbl", 51: "backslash bar", 61: "slash question",
    },
    # AZERTY: the top row types its digits with Shift; minus is the unshifted 6 key,
    # plus the shifted key left of Backspace.
    "fr": {
        10: "ampersand 1", 11: "eacute 2", 12: "quotedbl 3", 13: "apostrophe 4",
        14: "parenleft 5", 15: "minus 6", 16: "egrave 7", 17: "underscore 8",
        18: "ccedilla 9", 19: "agrave 0", 20: "parenright degree", 21: "equal plus",
        34: "dead_circumflex dead_diaeresis", 35: "dollar sterling", 47: "m M",
        48: "ugrave percent", 51: "asterisk mu", 61: "exclam section",
    },
    # QWERTZ: digits unshifted; plus has its own key right of U-umlaut, minus its own key
    # left of right Shift.
    "de": {
        10: "1 exclam", 11: "2 quotedbl", 12: "3 section", 13: "4 dollar", 14: "5 percent",
        15: "6 ampersand", 16: "7 slash", 17: "8 parenleft", 18: "9 parenright",
        19: "0 equal", 20: "ssharp question", 21: "dead_acute dead_grave",
        34: "udiaeresis Udiaeresis", 35: "plus asterisk", 47: "odiaeresis Odiaeresis",
        48: "adiaeresis Adiaeresis", 51: "numbersign apostrophe", 61: "minus underscore",
    },
}

# What a player presses for each answer on each map: (xdotool key, keycode it must hit).
TOP_ROW = {
    "us": {d: (str(d), 10 + (d + 9) % 10) for d in range(10)},
    "fr": {d: ("shift+" + KEYMAPS["fr"][10 + (d + 9) % 10].split()[0], 10 + (d + 9) % 10)
           for d in range(10)},
    "de": {d: (str(d), 10 + (d + 9) % 10) for d in range(10)},
}
MAIN_PLUS = {"us": ("shift+equal", 21), "fr": ("shift+equal", 21), "de": ("plus", 35)}
MAIN_MINUS = {"us": ("minus", 20), "fr": ("minus", 15), "de": ("minus", 61)}

# ---------------------------------------------------------------- screen places

SCREEN_W, SCREEN_H = 640, 480


def box(w, h, x, y):
    return (x, y, x + w, y + h)


# The answer prompt at (310, 420) in big text, the space before it included, up to three
# characters after it; nothing else is drawn there until an answer is judged.
PROMPT_BOX = box(260, 60, 310, 420)
# The score at (0, 0) in small text, five characters; problems in the top row pass over
# it only on their last 64 pixels.
SCORE_BOX = box(64, 30, 0, 0)
# The lower left corner holds nothing but the in-game picture while a game runs.
CORNER_BOX = box(300, 60, 0, 420)
# Menu rows, as the menus place their texts (all start at x 240).
ROW_TITLE = box(200, 22, 240, 40)
ROW_140 = box(200, 22, 240, 140)
ROW_180 = box(200, 22, 240, 180)
ROW_260 = box(200, 22, 240, 260)
ROW_340 = box(200, 22, 240, 340)
HELP_BOX = box(640, 360, 0, 120)
# Left of the menu texts and their cursor, every menu shows its background picture alone.
MENU_SIDE = box(200, 480, 0, 0)

INGAME = ("ingame_good.bmp", "ingame_neutral.bmp", "ingame_bad.bmp")

MAIN_MENU_MODES = {"Multiplication": 3, "Sign": 1}
QUIT_ENTRY = 7

# ---------------------------------------------------------------- time-outs (seconds)

SCREEN_WAIT = 60      # a menu or screen after a key
KEY_WAIT = 15         # a key's effect on the prompt or score
SIGN_GAMES = 3        # fresh sign-quiz games tried before a key counts as not taken
CHECK_GAMES = 6       # fresh games tried for one key before giving up on it


class Fatal(Exception):
    """The run cannot go on (no window, the game died, a screen never came)."""


def now():
    return time.monotonic()


def ink_mask(a, b):
    """A one-band picture, 255 wherever a and b differ in any colour."""
    r, g, bl = ImageChops.difference(a, b).split()
    return ImageChops.lighter(ImageChops.lighter(r, g), bl).point(lambda v: 255 if v else 0)


def count_set(mask):
    return mask.histogram()[255]


def differing(a, b):
    return count_set(ink_mask(a, b))


def moved(ink, before):
    """Whether a text changed: its ink differs in more than a few places, which the same
    text drawn over another of the in-game pictures never does."""
    return count_set(ImageChops.difference(ink, before)) > 20


class Run:
    def __init__(self, plimo, data):
        self.plimo = plimo
        self.data = data
        self.here = os.path.dirname(os.path.abspath(__file__))
        self.work = tempfile.mkdtemp(prefix="plimo-layouts.", dir=os.environ.get("TMPDIR", "/tmp"))
        self.failures = []
        self.fresh_games = 0
        self.shots_saved = 0
        self.xvfb = None
        self.game = None
        self.conn = None
        self.env = None
        self.geometry = (0, 0)
        self.pictures = {}
        self.langs = self.language_pictures()
        for name in set(INGAME) | {"menubg.bmp", "help.bmp", "help_plusminus.bmp", self.langs[0]}:
            self.pictures[name] = Image.open(os.path.join(data, name)).convert("RGB")
        self.ingame = {name: self.pictures[name] for name in INGAME}

    # ------------------------------------------------------------ reporting

    def step(self, text):
        print("-- " + text, flush=True)

    def save(self, image, what):
        self.shots_saved += 1
        path = os.path.join(self.work, "%02d-%s.png" % (self.shots_saved, re.sub(r"\W+", "-", what)))
        image.save(path)
        return path

    def fail_check(self, text, *images):
        """Records a key that failed; the run goes on."""
        paths = [self.save(im, text) for im in images if im is not None]
        self.failures.append(text)
        print("FAIL: " + text + ("  (" + ", ".join(paths) + ")" if paths else ""), file=sys.stderr, flush=True)

    def fatal(self, text):
        try:
            self.save(self.shot(), "fatal")
        except Exception:
            pass
        raise Fatal(text)

    # ------------------------------------------------------------ X server, game, keys

    def language_pictures(self):
        with open(os.path.join(self.data, "plimo.xml"), encoding="utf-8", errors="replace") as f:
            text = f.read()
        pics = re.findall(r'<language[^>]*image="([^"]*)"', text)
        if not pics:
            raise Fatal("the content file names no language picture")
        return pics

    def start_x(self):
        # Xvfb picks a free display number itself and writes it to the pipe we hand it.
        # Key autorepeat is off in effect: a held key would repeat only after a minute.
        read_fd, write_fd = os.pipe()
        log = open(os.path.join(self.work, "xvfb.log"), "w")
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
             "-nolisten", "tcp", "-noreset", "-ardelay", "60000", "-arinterval", "60000"],
            pass_fds=(write_fd,), stdout=log, stderr=subprocess.STDOUT)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb") as pipe:
            number = pipe.readline().strip()
        if not number.isdigit():
            raise Fatal("Xvfb named no display (see %s/xvfb.log)" % self.work)
        self.env = dict(os.environ, DISPLAY=":" + number.decode())
        self.conn = xdisplay.Display(self.env["DISPLAY"])
        self.root = self.conn.screen().root
        self.step("virtual X server on " + self.env["DISPLAY"])

    def xmodmap(self, layout):
        args = ["xmodmap"]
        for code, syms in sorted(KEYMAPS[layout].items()):
            args += ["-e", "keycode %d = %s" % (code, syms)]
        subprocess.run(args, env=self.env, check=True)
        # xdotool presses the lowest keycode that carries a symbol: that must be the key
        # meant (keycodes above 100 carry a few symbols of their own, such as parenleft).
        table = {}
        out = subprocess.run(["xmodmap", "-pke"], env=self.env, check=True, capture_output=True, text=True).stdout
        for line in out.splitlines():
            m = re.match(r"keycode\s+(\d+) =(.*)", line)
            if m:
                for sym in m.group(2).split():
                    table.setdefault(sym, set()).add(int(m.group(1)))
        wanted = list(TOP_ROW[layout].values()) + [MAIN_PLUS[layout], MAIN_MINUS[layout]]
        for key, code in wanted:
            sym = key.split("+")[-1]
            if min(table.get(sym, {0})) != code:
                raise Fatal("%s map: %s stands first on keycode %s, not on %d" % (layout, sym, min(table.get(sym, {0})), code))

    def start_game(self):
        env = dict(self.env, SDL_AUDIODRIVER="dummy")
        env.pop("SDL_VIDEODRIVER", None)
        # In the sanitizer build the leaks SDL and X11 keep are suppressed, quietly, so
        # that anything at all on standard error is a fault.
        supp = os.environ.get("LSAN_OPTIONS") or "suppressions=" + os.path.join(self.here, "..", "lsan.supp")
        env["LSAN_OPTIONS"] = supp + ":print_suppressions=0"
        game_dir = os.path.join(self.work, "game")
        if not os.path.isdir(game_dir):
            shutil.copytree(self.data, game_dir)
        self.out = open(os.path.join(self.work, "game.out"), "w")
        self.err = open(os.path.join(self.work, "game.err"), "w")
        self.game = subprocess.Popen([self.plimo, "window"], cwd=game_dir, env=env, stdout=self.out, stderr=self.err)
        try:
            found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Plimo$"], env=self.env,
                                   capture_output=True, text=True, timeout=SCREEN_WAIT).stdout.split()
        except subprocess.TimeoutExpired:
            found = []
        if not found:
            raise Fatal("no window named Plimo within %d s" % SCREEN_WAIT)
        self.window = found[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], env=self.env, check=True, timeout=SCREEN_WAIT)
        geo = subprocess.run(["xdotool", "getwindowgeometry", "--shell", self.window], env=self.env,
                             check=True, capture_output=True, text=True).stdout
        values = dict(line.split("=", 1) for line in geo.split())
        self.geometry = (int(values["X"]), int(values["Y"]))
        if (int(values["WIDTH"]), int(values["HEIGHT"])) != (SCREEN_W, SCREEN_H):
            raise Fatal("the window is %sx%s, not 640x480" % (values["WIDTH"], values["HEIGHT"]))

    def quit_game(self):
        self.press(*(["Down"] * QUIT_ENTRY + ["Return"]))
        try:
            status = self.game.wait(timeout=SCREEN_WAIT)
        except subprocess.TimeoutExpired:
            self.fatal("the game did not end after Quit")
        self.game = None
        self.out.close()
        self.err.close()
        if status != 0:
            raise Fatal("the game ended with status %d after Quit" % status)
        for name in ("game.out", "game.err"):
            text = open(os.path.join(self.work, name), errors="replace").read()
            if text:
                raise Fatal("the game wrote to %s:\n%s" % (name, text[:2000]))

    def press(self, *keys):
        """Real key presses (XTEST) into the focused game window, 40 ms apart."""
        subprocess.run(["xdotool", "key", "--delay", "40"] + list(keys), env=self.env, check=True, timeout=SCREEN_WAIT)

    def cleanup(self):
        for proc in (self.game, self.xvfb):
            if proc is not None and proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
                try:
                    proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()

    # ------------------------------------------------------------ screens

    def shot(self):
        if self.game is not None and self.game.poll() is not None:
            raise Fatal("the game ended by itself with status %d" % self.game.returncode)
        x, y = self.geometry
        raw = self.root.get_image(x, y, SCREEN_W, SCREEN_H, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (SCREEN_W, SCREEN_H), raw.data, "raw", "BGRX")

    def region_differs(self, shot, picture, area):
        return differing(shot.crop(area), self.pictures[picture].crop(area))

    def shows_language(self, shot):
        pic = self.pictures[self.langs[0]]
        w, h = pic.size
        x, y = (SCREEN_W - w) // 2, (SCREEN_H - h) // 2
        return differing(shot.crop((x, y, x + w, y + h)), pic) == 0

    def is_main_menu(self, shot):
        return (self.region_differs(shot, "menubg.bmp", MENU_SIDE) == 0
                and self.region_differs(shot, "menubg.bmp", ROW_TITLE) > 20
                and self.region_differs(shot, "menubg.bmp", ROW_140) > 20 and not self.shows_language(shot))

    def is_difficulty(self, shot):
        return (self.region_differs(shot, "menubg.bmp", MENU_SIDE) == 0
                and self.region_differs(shot, "menubg.bmp", ROW_TITLE) == 0
                and self.region_differs(shot, "menubg.bmp", ROW_140) == 0
                and self.region_differs(shot, "menubg.bmp", ROW_180) > 20
                and self.region_differs(shot, "menubg.bmp", ROW_260) > 20)

    def is_gameover_menu(self, shot):
        return (self.region_differs(shot, "menubg.bmp", MENU_SIDE) == 0
                and self.region_differs(shot, "menubg.bmp", ROW_TITLE) == 0
                and self.region_differs(shot, "menubg.bmp", ROW_180) > 20
                and self.region_differs(shot, "menubg.bmp", ROW_260) == 0
                and self.region_differs(shot, "menubg.bmp", ROW_340) > 20)

    def is_help(self, picture):
        return lambda shot: self.region_differs(shot, picture, HELP_BOX) == 0

    def wait_for(self, seconds, what, predicate):
        limit = now() + seconds
        while True:
            shot = self.shot()
            if predicate(shot):
                return shot
            if now() > limit:
                self.save(shot, "timed out")
                self.fatal("timed out after %d s waiting for %s" % (seconds, what))
            time.sleep(0.02)

    def game_view(self, shot):
        """What the prompt and score show, or None off the Playing screen.

        The prompt and score are kept as the places where they differ from the in-game
        picture under them, which is the same whichever picture the danger level shows;
        the prompt is also kept as it looks, with the name of the picture under it."""
        for name, picture in self.ingame.items():
            if differing(shot.crop(CORNER_BOX), picture.crop(CORNER_BOX)) == 0:
                prompt = shot.crop(PROMPT_BOX)
                return {
                    "background": name,
                    "prompt": prompt,
                    "prompt_ink": ink_mask(prompt, picture.crop(PROMPT_BOX)),
                    "score_ink": ink_mask(shot.crop(SCORE_BOX), picture.crop(SCORE_BOX)),
                    "shot": shot,
                }
        return None

    def steady_view(self, seconds, accept, enough_frames=None):
        """The first game view that accept takes and that the next screenshot repeats.

        None if the game left the Playing screen first, "timeout" if nothing acceptable
        came within seconds, or, given enough_frames, once the game has drawn that many
        different screens (at least 3 s after the call) without an acceptable one: the
        game is running then, so whatever was awaited is not coming. self.frames_seen
        counts the different screens seen."""
        started = now()
        last = None
        previous_bytes = None
        self.frames_seen = 0
        while True:
            shot = self.shot()
            data = shot.tobytes()
            if data != previous_bytes:
                self.frames_seen += 1
                previous_bytes = data
            view = self.game_view(shot)
            if view is None:
                return None
            if accept(view):
                if last is not None and last["background"] == view["background"] and \
                        differing(last["prompt"], view["prompt"]) == 0 and \
                        count_set(ImageChops.difference(last["score_ink"], view["score_ink"])) == 0:
                    return view
                last = view
            else:
                last = None
            elapsed = now() - started
            if elapsed > seconds:
                return "timeout"
            if enough_frames is not None and self.frames_seen >= enough_frames and elapsed >= 3:
                return "timeout"
            time.sleep(0.02)

    # ------------------------------------------------------------ menus

    def to_main_menu_at_start(self):
        self.wait_for(SCREEN_WAIT, "the language choice after the splash", self.shows_language)
        self.press("Return")
        self.wait_for(SCREEN_WAIT, "the main menu", self.is_main_menu)

    def start_mode(self, mode, level):
        """From the main menu into a game of the mode at the difficulty level (0..3)."""
        self.press(*(["Down"] * MAIN_MENU_MODES[mode] + ["Return"]))
        self.wait_for(SCREEN_WAIT, "the difficulty menu", self.is_difficulty)
        # The difficulty menu opens on its second entry.
        walk = {0: ["Up"], 1: [], 2: ["Down"], 3: ["Down", "Down"]}[level]
        self.press(*(walk + ["Return"]))
        self.wait_for(SCREEN_WAIT, "the help picture", self.is_help("help_plusminus.bmp" if mode == "Sign" else "help.bmp"))
        self.press("Return")
        self.mode, self.level = mode, level
        self.wait_prompt()

    def wait_prompt(self):
        """The first steady prompt of a game, once the Playing screen has come."""
        limit = now() + SCREEN_WAIT
        while now() < limit:
            view = self.steady_view(limit - now(), lambda v: count_set(v["prompt_ink"]) > 30)
            if isinstance(view, dict):
                return view
            time.sleep(0.02)
        self.fatal("no game with its prompt within %d s" % SCREEN_WAIT)

    def new_game(self):
        """Ends the game running (or lost just now) and starts another of the same mode."""
        self.fresh_games += 1
        if self.game_view(self.shot()) is not None:
            self.press("Escape")
        shot = self.wait_for(SCREEN_WAIT, "the game-over or main menu",
                             lambda s: self.is_gameover_menu(s) or self.is_main_menu(s))
        if self.is_gameover_menu(shot):
            self.press("Return")
            self.wait_prompt()
        else:
            # Escape came as the game was lost: it left the game-over menu too.
            self.start_mode(self.mode, self.level)

    def leave_game(self):
        """From a game (or its game-over menu) back to the main menu."""
        if self.game_view(self.shot()) is not None:
            self.press("Escape")
        shot = self.wait_for(SCREEN_WAIT, "the game-over or main menu",
                             lambda s: self.is_gameover_menu(s) or self.is_main_menu(s))
        if self.is_gameover_menu(shot):
            self.press("Down", "Return")
            self.wait_for(SCREEN_WAIT, "the main menu after the game", self.is_main_menu)

    # ------------------------------------------------------------ answer keys

    def prompt_width(self, view):
        area = view["prompt_ink"].getbbox()
        return 0 if area is None else area[2] - area[0]

    def answer_digits(self, view):
        """How many keys an empty prompt waits for: its underscores, each as wide as the
        single one of the sign quiz's prompt."""
        ratio = self.prompt_width(view) / self.underscore_width
        digits = round(ratio)
        if not 1 <= digits <= 3 or abs(ratio - digits) > 0.3:
            self.save(view["shot"], "prompt width")
            self.fatal("an empty prompt %d pixels wide is no row of %d-pixel underscores"
                       % (self.prompt_width(view), self.underscore_width))
        return digits

    def ready_prompt(self):
        """A steady, empty prompt on a problem still far from the left edge; outside the
        sign quiz, for an answer of two or three digits, so that one key never judges it."""
        while True:
            view = self.steady_view(SCREEN_WAIT, lambda v: count_set(v["prompt_ink"]) > 30)
            if isinstance(view, dict) and view["background"] != "ingame_bad.bmp" and \
                    (self.mode == "Sign" or self.answer_digits(view) >= 2):
                return view
            self.new_game()

    def press_and_watch(self, key, accept):
        """Presses key, then waits for a steady view that accept takes.

        Returns the view, "ended" if the game was lost first, or "ignored" if the game
        went on drawing without such a view: KEY_WAIT seconds, or 60 different screens
        and at least 3 s."""
        self.press(key)
        view = self.steady_view(KEY_WAIT, accept, enough_frames=60)
        if view is None:
            return "ignored" if self.frames_seen >= 60 else "ended"
        if view == "timeout":
            return "ignored"
        return view

    def check_answer_key(self, what, main_key, keypad_key):
        """main_key, typed first, must show what keypad_key shows in the same state."""
        for _ in range(CHECK_GAMES):
            empty = self.ready_prompt()

            # Only the prompt is watched: problems in the top row pass over the score.
            def changed(view):
                return moved(view["prompt_ink"], empty["prompt_ink"])

            main = self.press_and_watch(main_key, changed)
            if main == "ended":
                self.new_game()
                continue
            if main == "ignored":
                self.fail_check("%s: %s was not taken" % (what, main_key), self.shot())
                if self.game_view(self.shot()) is not None:
                    self.clear_prompt(empty)
                return
            if count_set(main["prompt_ink"]) == 0:
                self.fail_check("%s: %s alone judged an answer of %d digits" % (what, main_key, self.answer_digits(empty)),
                                main["shot"])
                self.new_game()
                return
            if not self.clear_prompt(empty):
                self.new_game()
                continue
            keypad = self.press_and_watch(keypad_key, changed)
            if keypad == "ended":
                self.new_game()
                continue
            if keypad == "ignored":
                self.fatal("%s: keypad %s was not taken" % (what, keypad_key))
            if not self.clear_prompt(empty):
                self.new_game()
                continue
            # Over the same in-game picture the two prompts must match pixel for pixel;
            # when the danger picture changed between the keys, their ink must.
            if main["background"] == keypad["background"]:
                same = differing(main["prompt"], keypad["prompt"]) == 0
            else:
                same = count_set(ImageChops.difference(main["prompt_ink"], keypad["prompt_ink"])) == 0
            if not same:
                self.fail_check("%s: %s shows another answer than %s" % (what, main_key, keypad_key),
                                main["shot"], keypad["shot"])
            return
        self.fail_check("%s: the game was lost before the check was done, %d times" % (what, CHECK_GAMES))

    def clear_prompt(self, empty):
        """Backspace, then the empty prompt again; False if the game ended meanwhile."""
        self.press("BackSpace")
        view = self.steady_view(SCREEN_WAIT, lambda v: not moved(v["prompt_ink"], empty["prompt_ink"]))
        if view == "timeout":
            self.fatal("Backspace did not clear the prompt within %d s" % SCREEN_WAIT)
        return view is not None

    def check_sign_plus(self, layout, key):
        """The sign quiz's first problem answered with key, the main keyboard's plus."""
        for _ in range(SIGN_GAMES):
            empty = self.ready_prompt()
            self.underscore_width = self.prompt_width(empty)

            def judged(view, before=empty):
                return moved(view["score_ink"], before["score_ink"]) or count_set(view["prompt_ink"]) == 0

            view = self.press_and_watch(key, judged)
            if view == "ended":
                self.new_game()
                continue
            if view == "ignored":
                self.fail_check("%s sign quiz: %s was not taken" % (layout, key), self.shot())
                return
            if moved(view["score_ink"], empty["score_ink"]):
                print("   %s judged right" % key, flush=True)
                return
            # Judged wrong: the problem is negative if our key was plus, so keypad minus,
            # once the block is over and the prompt back (not the falling feedback), must
            # be right.
            print("   %s judged wrong; then keypad minus after the block" % key, flush=True)
            again = self.steady_view(SCREEN_WAIT, lambda v: not moved(v["prompt_ink"], empty["prompt_ink"]))
            if not isinstance(again, dict):
                self.new_game()
                continue
            view = self.press_and_watch("KP_Subtract", lambda v: judged(v, again))
            if view == "ended":
                self.new_game()
                continue
            if view == "ignored":
                self.fatal("keypad minus was not taken in the sign quiz")
            if not moved(view["score_ink"], again["score_ink"]):
                self.fail_check("%s sign quiz: %s was judged as minus" % (layout, key), view["shot"])
            return
        self.fail_check("%s sign quiz: the game was lost before %s was judged, %d times" % (layout, key, SIGN_GAMES))

    # ------------------------------------------------------------ one layout

    def play_layout(self, layout):
        started = now()
        self.fresh_games = 0
        self.step("%s keyboard map; the game started afresh" % layout)
        self.xmodmap(layout)
        self.start_game()
        self.to_main_menu_at_start()

        # First the sign quiz: its prompt is one underscore, whose width tells how many
        # digits a prompt waits for.
        self.step("%s: the sign quiz answered with the main keyboard's plus (%s)" % (layout, MAIN_PLUS[layout][0]))
        self.start_mode("Sign", 0)
        self.check_sign_plus(layout, MAIN_PLUS[layout][0])
        self.leave_game()

        self.step("%s: Multiplication at the hardest difficulty, top-row keys against keypad keys" % layout)
        self.start_mode("Multiplication", 3)
        for digit in list(range(1, 10)) + [0]:
            key, _ = TOP_ROW[layout][digit]
            self.check_answer_key("%s digit %d" % (layout, digit), key, "KP_%d" % digit)
        self.check_answer_key("%s plus" % layout, MAIN_PLUS[layout][0], "KP_Add")
        self.check_answer_key("%s minus" % layout, MAIN_MINUS[layout][0], "KP_Subtract")
        self.leave_game()

        self.quit_game()
        print("   %s done in %.1f s; %d fresh games for one-digit answers or games lost" % (layout, now() - started, self.fresh_games), flush=True)


def main(argv):
    if len(argv) < 3:
        print("usage: layouts.py PLIMO_BINARY DATA_DIR [LAYOUT...]", file=sys.stderr)
        return 2
    layouts = argv[3:] or ["us", "fr", "de"]
    for layout in layouts:
        if layout not in KEYMAPS:
            print("layouts.py: no keyboard map %s (have %s)" % (layout, " ".join(KEYMAPS)), file=sys.stderr)
            return 2
    run = Run(os.path.realpath(argv[1]), os.path.realpath(argv[2]))
    started = now()
    status = 0
    try:
        run.start_x()
        for layout in layouts:
            run.play_layout(layout)
    except Fatal as e:
        print("FAIL: %s" % e, file=sys.stderr)
        err = os.path.join(run.work, "game.err")
        if os.path.exists(err) and os.path.getsize(err):
            print("game's standard error:\n" + open(err, errors="replace").read()[:4000], file=sys.stderr)
        status = 1
    finally:
        run.cleanup()
    if run.failures:
        print("FAIL: %d key(s) failed:\n  %s" % (len(run.failures), "\n  ".join(run.failures)), file=sys.stderr)
        status = 1
    if status:
        print("layouts.py: screenshots and logs kept in %s" % run.work, file=sys.stderr)
    else:
        shutil.rmtree(run.work, ignore_errors=True)
        print("PASS: answers typed from the main keyboard on %s in %.1f s" % (", ".join(layouts), now() - started))
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
