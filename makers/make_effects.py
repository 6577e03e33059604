#!/usr/bin/python3
# Synthesises Plimo's seven sound effects into data/*.wav (16-bit, 44.1 kHz, mono).
#
# Usage: makers/make_effects.py
#
# The game plays every effect at mixer volume 48 of 128, over the music at 128. Each is
# compressed (its quieter parts brought up towards its peaks), then set to its level over the
# music it plays over (data/menu.ogg or data/ingame1.ogg, made first), measured as
# tools/check_audio_data.py does and checked there against its band. Every effect starts and
# ends at silence so that cutting one off (a new effect on the same channel) or starting it
# never clicks. Fixed seeds: same files on every run.

import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import audio_synth as syn  # noqa: E402
import check_audio_data as check  # noqa: E402


def place(total, parts):
    """Mixes [(start in s, signal)] into a buffer of total seconds; signals running past the end
    are cut (the caller fades the end)."""
    out = np.zeros(int(total * syn.SR))
    for start, sig in parts:
        at = int(start * syn.SR)
        k = min(len(sig), len(out) - at)
        if k > 0:
            out[at:at + k] += sig[:k]
    return out


def room(x, wet, rt60, length):
    """A little room around x: a short reverb, its tail cut at length seconds."""
    ir = syn.reverb_ir(max(rt60 * 1.2, 0.1), rt60, 'effects', damping=0.5, stereo=False)
    tail = syn.convolve(x, ir, circular=False)[:, 0]
    out = np.zeros(int(length * syn.SR))
    k = min(len(out), len(x))
    out[:k] += x[:k]
    out += wet * tail[:len(out)] * np.sqrt(len(ir) / syn.SR)
    return out


PEAK_DBFS = -1.0


def compress(x, threshold_db, ratio, window=0.003, release=0.05):
    """A compressor that looks ahead: above threshold_db (relative to the peak) the level
    grows only 1/ratio as fast. Its envelope is the loudest sample within window seconds
    either side, falling back in release seconds, so the gain is already down when a
    transient arrives and the peaks shrink with the rest instead of poking out."""
    x = x / np.max(np.abs(x))
    w = max(1, int(window * syn.SR))
    level = np.lib.stride_tricks.sliding_window_view(np.pad(np.abs(x), w), 2 * w + 1).max(axis=1)
    fall = np.exp(-1.0 / (release * syn.SR))
    env = np.empty_like(level)
    e = 0.0
    for i, v in enumerate(level):
        e = v if v > e else e * fall
        env[i] = e
    thr = syn.db(threshold_db)
    gain = np.ones_like(env)
    over = env > thr
    gain[over] = (env[over] / thr) ** (1.0 / ratio - 1.0)
    return x * gain


def finish(x, peak_dbfs=PEAK_DBFS, fade_in=0.001, fade_out=0.02, squeeze=(-22.0, 4.0)):
    """Compresses (threshold dB under the peak, ratio), fades both ends to silence, removes
    any DC, and sets the peak level."""
    if squeeze:
        x = compress(x, *squeeze)
    x = syn.fade_edges(x - np.mean(x), fade_in, fade_out)
    return x * (syn.db(peak_dbfs) / np.max(np.abs(x)))


def bell(freq, length, decay, brightness=1.0, ratio=2.0):
    """A short bright bell: FM with a fast-fading index over a decaying sine."""
    n = int(length * syn.SR)
    t = np.arange(n) / syn.SR
    tone = syn.fm(n, freq, ratio, brightness * 1.6 * np.exp(-t / 0.03)) * np.exp(-t / decay)
    tone += 0.3 * np.sin(syn.phase_of(freq * 3.0, n)) * np.exp(-t / (decay * 0.4))
    return syn.fade_edges(tone, 0.0015, 0.005)


# ---------------------------------------------------------------- the seven effects

def menu_select():
    """Choosing an entry: a round wooden 'bloop' gliding up an octave from G4, and a soft
    marimba tick on D6 as it lands. No bell, so the chime of a right answer keeps its
    meaning."""
    n = int(0.16 * syn.SR)
    t = np.arange(n) / syn.SR
    freq = 392.0 * 2.0 ** np.clip(t / 0.05, 0.0, 1.0)
    ph = syn.phase_of(freq, n)
    bloop = (np.sin(ph) + 0.25 * np.sin(2 * ph)) * np.exp(-t / 0.045) * np.clip(t / 0.004, 0, 1)
    x = place(0.16, [(0.0, bloop), (0.05, 0.7 * syn.marimba(syn.midi_hz(86), 0.11, 0.9))])
    return finish(room(x, 0.1, 0.2, 0.16), PEAK_DBFS, 0.001, 0.03)


def menu_move():
    """A soft round blip, falling a little in pitch, over in 60 ms."""
    n = int(0.06 * syn.SR)
    t = np.arange(n) / syn.SR
    freq = 660.0 + 240.0 * np.exp(-t / 0.015)
    tone = np.sin(syn.phase_of(freq, n)) + 0.15 * np.sin(2 * syn.phase_of(freq, n))
    return finish(tone * np.exp(-t / 0.016), PEAK_DBFS, 0.002, 0.012, squeeze=(-26.0, 5.0))


def failed():
    """The lost game: a muted horn sliding down four semitones, wah, wah, wah, waaah, the last
    note wobbling as it fades."""
    parts = []
    notes = [(0.0, 0.24, 60), (0.27, 0.24, 59), (0.54, 0.24, 58), (0.81, 0.5, 57)]
    for k, (start, held, midi) in enumerate(notes):
        f = syn.midi_hz(midi)
        rel = 0.12 if k < 3 else 0.22
        n = int((held + rel) * syn.SR)
        t = np.arange(n) / syn.SR
        last = k == len(notes) - 1
        # A gentle sag at the end of each note; the last one wobbles like a sigh.
        fr = f * (1.0 - 0.012 * np.clip((t - held * 0.6) / held, 0, 1))
        if last:
            fr = f * (1.0 + 0.018 * np.sin(2 * np.pi * 5.5 * t) * np.clip(t / 0.15, 0, 1)) \
                * (1.0 - 0.03 * np.clip((t - 0.2) / 0.5, 0, 1))
        # The mute opening and closing gives the "wah".
        wah = 380.0 + 1300.0 * np.sin(np.pi * np.clip(t / (held + rel * 0.5), 0, 1)) ** 1.5
        tone = syn.filtered_wave(n, fr, wah, 'saw', 2, 0.5)
        env = syn.adsr(n, 0.03, 0.3, 0.9, rel, held)
        parts.append((start, tone * env * (0.95 if not last else 1.0)))
    x = place(1.35, parts)
    return finish(room(x, 0.15, 0.5, 1.35), PEAK_DBFS, 0.002, 0.08, squeeze=(-26.0, 5.0))


def wrong():
    """A short, friendly 'uh-uh': two low buzzy notes, the second lower."""
    parts = []
    for start, held, midi in ((0.0, 0.085, 57), (0.12, 0.1, 53)):
        f = syn.midi_hz(midi)
        n = int((held + 0.03) * syn.SR)
        tone = syn.filtered_wave(n, f, 1100.0, 'mellow', 2, 0.6)
        tone += 0.4 * np.sin(syn.phase_of(f, n))
        parts.append((start, tone * syn.adsr(n, 0.006, 0.1, 0.8, 0.03, held)))
    return finish(place(0.26, parts), PEAK_DBFS, 0.002, 0.02, squeeze=(-26.0, 5.0))


def correct():
    """A happy rising chime: C6, E6, G6 in quick succession, the last one ringing."""
    x = place(0.26, [(0.0, bell(syn.midi_hz(84), 0.26, 0.05, 0.8)),
                     (0.045, bell(syn.midi_hz(88), 0.215, 0.06, 0.8)),
                     (0.09, 1.1 * bell(syn.midi_hz(91), 0.17, 0.09, 0.8))])
    return finish(room(x, 0.12, 0.3, 0.26), PEAK_DBFS, 0.001, 0.04)


def cleared():
    """The field cleared: a little brass fanfare in C (it sounds together with the C major chime
    of a right answer): ta-ta-ta-taaa on G4 C5 E5 G5 over a held chord, sparkles on top."""
    parts = []
    for start, held, midi, vel in ((0.0, 0.08, 67, 0.8), (0.11, 0.08, 72, 0.8),
                                   (0.22, 0.08, 76, 0.85), (0.33, 0.5, 79, 1.0)):
        parts.append((start, 0.8 * syn.brass(syn.midi_hz(midi), held, vel)))
    for midi in (60, 64, 67):
        parts.append((0.33, 0.45 * syn.brass(syn.midi_hz(midi), 0.5, 0.7)))
    for k, midi in enumerate((84, 88, 91, 96)):
        parts.append((0.36 + 0.06 * k, 0.25 * bell(syn.midi_hz(midi), 0.5, 0.18, 0.7)))
    x = place(1.05, parts)
    return finish(room(x, 0.2, 0.6, 1.05), PEAK_DBFS, 0.002, 0.12)


def typing():
    """A light key click: a tick of filtered noise over a short wooden knock, 40 ms, held up
    by the compressor so that it is heard over the game music."""
    n = int(0.04 * syn.SR)
    t = np.arange(n) / syn.SR
    click = syn.bandpass(syn.noise(n, 'typing'), 1800, 7000, 2)
    click = click / np.max(np.abs(click)) * np.exp(-t / 0.005)
    knock = 0.8 * np.sin(syn.phase_of(1250.0 + 500.0 * np.exp(-t / 0.004), n)) * np.exp(-t / 0.016)
    tick = 0.4 * np.sin(syn.phase_of(2300.0, n)) * np.exp(-t / 0.008)
    return finish(click + knock + tick, PEAK_DBFS, 0.0004, 0.01, squeeze=(-30.0, 6.0, 0.001, 0.006))


# Each effect's loudest 50 ms over the median of the music it plays over (dB, as
# tools/check_audio_data.py measures them): answers clearly heard, interface ticks just over
# the music, so that twenty key clicks a minute and every answer's sound do not tire.
EFFECTS = [
    ('menuselect.wav', menu_select, 4.0),
    ('menumove.wav', menu_move, 3.0),
    ('failed.wav', failed, 7.0),
    ('wrong.wav', wrong, 7.0),
    ('correct.wav', correct, 7.0),
    ('cleared.wav', cleared, 6.0),
    ('typing.wav', typing, 3.0),
]


def main():
    out = syn.repo_data_dir()
    music = {}
    for track in check.MUSIC:
        x = check.decode_ogg(os.path.join(out, track))
        if x is None:
            sys.exit('make_effects.py: sox or oggdec is needed to measure the music')
        music[track] = check.music_level(x)
    over = {name: track for name, _, _, track, _ in check.EFFECTS}
    for name, make, target in EFFECTS:
        x = make()
        level = check.loudest(x[:, None]) - music[over[name]]
        x = x * syn.db(target - level)
        syn.write_wav(os.path.join(out, name), x)
        print('%s: %.3f s, peak %.1f dBFS, %+.1f dB over %s'
              % (name, len(x) / syn.SR, 20 * np.log10(np.max(np.abs(x))), target, over[name]))


if __name__ == '__main__':
    main()
