#!/usr/bin/env python3
"""A newcomer's terminal for tools/fresh_machine_check.sh: runs one command on a
pseudo-terminal, types the sudo password when asked and "y" when apt asks, keeps every
byte shown; then reads such a record back as the lines a player saw and checks them
against the lines expected.

  fresh_terminal.py run RECORD command...   status: the command's (128+signal); the
      password typed is PLIMO_FRESH_PASSWORD's, kept from the command's environment
  fresh_terminal.py lines RECORD             prints the lines seen
  fresh_terminal.py check RECORD [--allow REGEX | --allow-file FILE | --require REGEX]...
      prints the lines seen, grouped by the expected line each matched, and ends with
      status 1 when a line matched none, or a required line was not seen exactly once;
      each line of an --allow-file is a line allowed as it stands.
"""
import fcntl
import os
import re
import select
import signal
import struct
import sys
import termios
import time

# What a terminal of 80x24 shows; apt and the build's one-line progress read the width.
ROWS, COLUMNS = 24, 80


def run(record_path, password, command):
    master, slave = os.openpty()
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", ROWS, COLUMNS, 0, 0))
    child = os.fork()
    if child == 0:
        # A session of its own with the terminal as its controlling one, as a login has.
        os.close(master)
        os.setsid()
        fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
        for fd in (0, 1, 2):
            os.dup2(slave, fd)
        if slave > 2:
            os.close(slave)
        os.execvp(command[0], command)
    os.close(slave)

    # Ended from outside (the check's deadline or its end): Ctrl+C is typed, as a player
    # stops a server; a command still there 10 s later gets SIGTERM, 20 s later SIGKILL.
    ending = []

    def end(signum, _frame):
        if not ending:
            ending.append(time.monotonic())
            os.write(master, b"\x03")

    signal.signal(signal.SIGTERM, end)
    signal.signal(signal.SIGINT, end)

    passwords = 0
    answered = 0  # bytes of the record already answered, so a prompt is answered once
    shown = b""
    with open(record_path, "wb") as record:
        while True:
            if ending and time.monotonic() - ending[0] > 10:
                try:
                    os.killpg(child, signal.SIGTERM if time.monotonic() - ending[0] < 20 else signal.SIGKILL)
                except ProcessLookupError:
                    pass
            try:
                ready, _, _ = select.select([master], [], [], 1.0)
            except InterruptedError:
                continue
            if not ready:
                continue
            try:
                data = os.read(master, 65536)
            except OSError:  # EIO: every holder of the terminal has closed it
                break
            if not data:
                break
            record.write(data)
            record.flush()
            shown += data
            tail = visible(shown[answered:].decode("utf-8", "replace"))
            last = tail.rsplit("\n", 1)[-1].rsplit("\r", 1)[-1]
            if re.search(r"[Pp]assword for [^:]*: *$", last):
                os.write(master, password.encode() + b"\n")
                passwords += 1
                answered = len(shown)
            elif re.search(r"\[Y/n\] *$", last):
                os.write(master, b"y\n")
                answered = len(shown)
            if len(shown) > 1 << 16:  # only the end is ever looked at
                cut = len(shown) - 4096
                shown, answered = shown[cut:], max(0, answered - cut)
    _, status = os.waitpid(child, 0)
    os.close(master)
    with open(record_path + ".passwords", "w") as f:
        f.write(f"{passwords}\n")
    return os.waitstatus_to_exitcode(status) if os.WIFEXITED(status) else 128 + os.WTERMSIG(status)


def visible(text):
    """What a terminal shows of the text, minus colours and cursor moves; apt's progress
    bar, drawn on the bottom line between a saved and a restored cursor, goes whole."""
    text = re.sub(r"\x1b7.*?\x1b8", "", text, flags=re.S)
    text = re.sub(r"\x1b\[[0-?]*[ -/]*[@-~]", "", text)
    text = re.sub(r"\x1b\][^\x07\x1b]*(\x07|\x1b\\)", "", text)
    text = re.sub(r"\x1b[()][0-9A-Za-z]|\x1b[=>78]", "", text)
    return text


def seen_lines(raw):
    """Every line the player saw, each rewrite of a one-line progress counting as one."""
    lines = []
    for line in visible(raw.decode("utf-8", "replace")).split("\n"):
        for part in line.split("\r"):
            if part.strip():
                lines.append(part.rstrip())
    return lines


def check(record_path, allowed, required):
    with open(record_path, "rb") as f:
        lines = seen_lines(f.read())
    patterns = [re.compile(p) for p in required + allowed]
    groups = {}
    unexpected = []
    for line in lines:
        match = next((p for p in patterns if p.fullmatch(line)), None)
        if match is None:
            unexpected.append(line)
        else:
            groups.setdefault(match.pattern, []).append(line)
    for pattern, matched in groups.items():
        more = f" (and {len(matched) - 1} more like it)" if len(matched) > 1 else ""
        print(f"     seen: {matched[0]}{more}")
    ok = True
    for line in unexpected:
        print(f"     UNEXPECTED: {line}")
        ok = False
    for pattern in required:
        count = len(groups.get(pattern, []))
        if count != 1:
            print(f"     REQUIRED once, seen {count} times: {pattern}")
            ok = False
    return 0 if ok else 1


def main(argv):
    if len(argv) >= 3 and argv[0] == "run":
        password = os.environ.pop("PLIMO_FRESH_PASSWORD", "")
        return run(argv[1], password, argv[2:])
    if len(argv) == 2 and argv[0] == "lines":
        with open(argv[1], "rb") as f:
            print("\n".join(seen_lines(f.read())))
        return 0
    if len(argv) >= 2 and argv[0] == "check":
        allowed, required, rest = [], [], argv[2:]
        while len(rest) >= 2 and rest[0] in ("--allow", "--allow-file", "--require"):
            if rest[0] == "--allow-file":
                with open(rest[1]) as f:
                    allowed += [re.escape(line.rstrip()) for line in f if line.strip()]
            else:
                (allowed if rest[0] == "--allow" else required).append(rest[1])
            rest = rest[2:]
        if not rest:
            return check(argv[1], allowed, required)
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
