#!/usr/bin/python3
"""The end-to-end tests' eyes and fingers: one process that stays connected to the X
display, grabs the screen in a few milliseconds and presses keys through XTEST, so that
moments as short as the game-over burst are seen even on a loaded machine (starting a
screenshot or key program costs far more, up to seconds when every core is busy).

Usage: screen.py DISPLAY. Reads one command per line on standard input and answers each
with one line on standard output ("error: ..." when the command failed):

  grab                        the newest screen (during a recording, its newest frame)
  diff GEOM PICTURE_GEOM PATH pixels that differ between the current screen's region GEOM
                              and the picture's region PICTURE_GEOM (both WxH+X+Y)
  size PATH                   a picture's "width height"
  share RRGGBB                the current screen's share of pixels of exactly that colour
  save PATH                   the current screen as a PNG file
  record                      start grabbing about 50 frames per second in the background
  next MS                     make the oldest frame not yet looked at current, waiting up to
                              MS milliseconds for it: "ok AGE" (its age in ms since the
                              recording began) or "none"
  age                         milliseconds since the recording began
  best RRGGBB                 make the recorded frame with the largest share of the colour
                              current, and answer that share
  timeline RRGGBB             the recorded frames as "AGE:SHARE" (ms, the colour's share),
                              one word per frame, for reports of what was seen
  stop                        stop recording, keeping its frames for best, timeline and
                              next until the next record; answers their number
  autorepeat                  "on" or "off": the server's global key autorepeat
  press KEYSYM...             presses and releases each key in turn, as a keyboard would
                              (X keysym names: Return, Escape, Down, KP_Add, 1, ...),
                              20 ms between events
  key down|up KEYSYM          only presses, or only releases, the key
  focus WINDOW                gives the keyboard focus to the window (a number), or to
                              none when WINDOW is "none"
  scribble GEOM               fills the screen's region GEOM (WxH+X+Y) with magenta over
                              every window, as another program drawing over them would
                              (no expose follows)
  fit PATH                    the mean difference (0-255) between the picture and the
                              screen's part that is not black, scaled to the picture's size
  close WINDOW                asks the window to close, as a window manager's close
                              button does (WM_DELETE_WINDOW)
Pictures are read once and kept; pixels are compared exactly, as 8-bit RGB.
"""
import sys
import threading
import time

import numpy as np
from PIL import Image
from Xlib import X, XK, display, protocol
from Xlib.ext import xtest

FRAME_PERIOD = 0.02  # seconds between recorded frames
KEY_PERIOD = 0.02    # seconds between key events
MAX_FRAMES = 300     # about 6 s of recording, 280 MB at 640x480


class Grabber:
    """One connection to the X server and the grabbing of its root window."""

    def __init__(self, name):
        self.display = display.Display(name)
        self.root = self.display.screen().root
        geometry = self.root.get_geometry()
        self.width, self.height = geometry.width, geometry.height

    def grab(self):
        """The whole screen as an HxWx3 RGB array."""
        image = self.root.get_image(0, 0, self.width, self.height, X.ZPixmap, 0xFFFFFFFF)
        pixels = np.frombuffer(image.data, np.uint8)
        if pixels.size != self.width * self.height * 4:
            raise RuntimeError("the server sent %d bytes for a %dx%d screen, not 32 bits a pixel"
                               % (pixels.size, self.width, self.height))
        # 24-bit visuals come as B, G, R and a pad byte per pixel.
        return pixels.reshape(self.height, self.width, 4)[:, :, 2::-1]

    def keycode(self, name):
        keysym = XK.string_to_keysym(name)
        code = self.display.keysym_to_keycode(keysym) if keysym else 0
        if not code:
            raise ValueError("no key types " + name)
        return code

    def press(self, names):
        """Each key pressed and released in turn, to the window that has the focus."""
        codes = [self.keycode(name) for name in names]
        for code in codes:
            for event in (X.KeyPress, X.KeyRelease):
                xtest.fake_input(self.display, event, code)
                self.display.sync()
                time.sleep(KEY_PERIOD)

    def key(self, direction, name):
        """The key only pressed (held, and repeated if the server may) or only released."""
        xtest.fake_input(self.display, X.KeyPress if direction == "down" else X.KeyRelease, self.keycode(name))
        self.display.sync()

    def focus(self, window):
        target = X.NONE if window == "none" else self.display.create_resource_object("window", int(window))
        self.display.set_input_focus(target, X.RevertToNone, X.CurrentTime)
        self.display.sync()

    def scribble(self, text):
        """Magenta over the screen's region, drawn through every window on it."""
        x, y, w, h = geometry(text)
        gc = self.root.create_gc(foreground=0xFF00FF, subwindow_mode=X.IncludeInferiors)
        self.root.fill_rectangle(gc, x, y, w, h)
        gc.free()
        self.display.sync()

    def close(self, window):
        """The message a window manager sends when the window's close button is clicked."""
        target = self.display.create_resource_object("window", int(window))
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        delete = self.display.intern_atom("WM_DELETE_WINDOW")
        message = protocol.event.ClientMessage(window=target, client_type=protocols,
                                               data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        target.send_event(message)
        self.display.sync()


class Recording:
    """Frames grabbed on a thread of their own, over its own connection (Xlib's
    connections are not to be shared between threads)."""

    def __init__(self, name):
        self.frames = []  # (seconds since the start, pixels)
        self.lock = threading.Lock()
        self.arrived = threading.Condition(self.lock)
        self.running = True
        self.error = None
        self.started = time.monotonic()
        self.thread = threading.Thread(target=self.run, args=(name,), daemon=True)
        self.thread.start()

    def run(self, name):
        try:
            grabber = Grabber(name)
            due = time.monotonic()
            while self.running and len(self.frames) < MAX_FRAMES:
                pixels = grabber.grab()
                with self.lock:
                    self.frames.append((time.monotonic() - self.started, pixels))
                    self.arrived.notify_all()
                due = max(due + FRAME_PERIOD, time.monotonic())
                time.sleep(max(0.0, due - time.monotonic()))
        except Exception as e:  # reported with the next command
            self.error = str(e)
        with self.lock:
            self.running = False
            self.arrived.notify_all()

    def stop(self):
        self.running = False
        self.thread.join()
        return len(self.frames)


def geometry(text):
    """'WxH+X+Y' as (x, y, w, h)."""
    size, x, y = text.split("+")
    w, h = size.split("x")
    return int(x), int(y), int(w), int(h)


def region(pixels, text):
    x, y, w, h = geometry(text)
    if x < 0 or y < 0 or x + w > pixels.shape[1] or y + h > pixels.shape[0]:
        raise ValueError("region %s lies outside %dx%d" % (text, pixels.shape[1], pixels.shape[0]))
    return pixels[y:y + h, x:x + w]


def colour(text):
    value = int(text, 16)
    return np.array([value >> 16, (value >> 8) & 255, value & 255], np.uint8)


def share(pixels, rgb):
    return float(np.all(pixels == rgb, axis=2).mean())


def main():
    name = sys.argv[1]
    grabber = Grabber(name)
    pictures = {}
    current = None
    recording = None
    looked_at = 0

    def picture(path):
        if path not in pictures:
            pictures[path] = np.asarray(Image.open(path).convert("RGB"))
        return pictures[path]

    def need_current():
        if current is None:
            raise RuntimeError("no screen grabbed yet")
        return current

    for line in sys.stdin:
        words = line.rstrip("\n").split(" ", 3)
        command = words[0]
        try:
            if recording is not None and recording.error:
                raise RuntimeError("recording failed: " + recording.error)
            if command == "grab":
                current = None
                if recording is not None:
                    with recording.lock:
                        if recording.running and recording.frames:
                            current = recording.frames[-1][1]
                if current is None:
                    current = grabber.grab()
                answer = "ok"
            elif command == "diff":
                shot = region(need_current(), words[1])
                wanted = region(picture(words[3]), words[2])
                if shot.shape != wanted.shape:
                    raise ValueError("regions %s and %s differ in size" % (words[1], words[2]))
                answer = str(int(np.any(shot != wanted, axis=2).sum()))
            elif command == "size":
                h, w = picture(line.rstrip("\n").split(" ", 1)[1]).shape[:2]
                answer = "%d %d" % (w, h)
            elif command == "share":
                answer = "%.4f" % share(need_current(), colour(words[1]))
            elif command == "save":
                Image.fromarray(np.ascontiguousarray(need_current())).save(
                    line.rstrip("\n").split(" ", 1)[1])
                answer = "ok"
            elif command == "record":
                if recording is not None:
                    recording.stop()
                    recording = None  # its frames go before the next ones come
                recording = Recording(name)
                looked_at = 0
                answer = "ok"
            elif command == "next":
                if recording is None:
                    raise RuntimeError("not recording")
                deadline = time.monotonic() + int(words[1]) / 1000
                with recording.lock:
                    while (looked_at >= len(recording.frames) and recording.running
                           and time.monotonic() < deadline):
                        recording.arrived.wait(max(0.0, deadline - time.monotonic()))
                    if looked_at < len(recording.frames):
                        age, current = recording.frames[looked_at]
                        looked_at += 1
                        answer = "ok %d" % (age * 1000)
                    else:
                        answer = "none"
            elif command == "best":
                if recording is None or not recording.frames:
                    raise RuntimeError("nothing recorded")
                rgb = colour(words[1])
                with recording.lock:
                    frames = list(recording.frames)
                shares = [share(pixels, rgb) for _, pixels in frames]
                best = max(range(len(shares)), key=shares.__getitem__)
                current = frames[best][1]
                answer = "%.4f" % shares[best]
            elif command == "timeline":
                if recording is None:
                    raise RuntimeError("not recording")
                rgb = colour(words[1])
                with recording.lock:
                    frames = list(recording.frames)
                answer = " ".join("%d:%.3f" % (age * 1000, share(pixels, rgb)) for age, pixels in frames)
            elif command == "age":
                if recording is None:
                    raise RuntimeError("not recording")
                answer = str(int((time.monotonic() - recording.started) * 1000))
            elif command == "press":
                grabber.press(line.split()[1:])
                answer = "ok"
            elif command == "key":
                grabber.key(words[1], words[2])
                answer = "ok"
            elif command == "focus":
                grabber.focus(words[1])
                answer = "ok"
            elif command == "scribble":
                grabber.scribble(words[1])
                answer = "ok"
            elif command == "fit":
                shown = Image.fromarray(np.ascontiguousarray(need_current()))
                wanted = picture(line.rstrip("\n").split(" ", 1)[1])
                box = shown.getbbox() or (0, 0, 1, 1)
                scaled = np.asarray(shown.crop(box).resize((wanted.shape[1], wanted.shape[0]), Image.BILINEAR))
                answer = "%.1f" % np.abs(scaled.astype(int) - wanted).mean()
            elif command == "close":
                grabber.close(words[1])
                answer = "ok"
            elif command == "autorepeat":
                control = grabber.display.get_keyboard_control()
                answer = "on" if control.global_auto_repeat else "off"
            elif command == "stop":
                answer = str(recording.stop() if recording is not None else 0)
            else:
                raise ValueError("unknown command " + command)
        except Exception as e:
            answer = "error: %s: %s" % (line.strip(), e)
        print(answer, flush=True)


if __name__ == "__main__":
    main()
