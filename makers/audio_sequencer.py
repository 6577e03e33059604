# Plimo's small sequencer: scales and chords, voicing, motif-based melodies, bass lines, drum grids,
# and the rendering of note lists into a seamless loop buffer.
#
# Times are in beats (4 to a bar); a note is a tuple (beat, length in beats, MIDI note, velocity 0..1).

import itertools

import numpy as np

import audio_synth as syn

MAJOR = [0, 2, 4, 5, 7, 9, 11]


def degree_midi(degree, tonic, scale=MAJOR):
    """MIDI note of a scale degree counted from tonic (degree 0); 7 is the tonic an octave up."""
    octave, step = divmod(degree, len(scale))
    return tonic + 12 * octave + scale[step]


def chord_degrees(root, seventh=False):
    """Scale degrees of the diatonic triad (or seventh chord) on root, root position."""
    return [root, root + 2, root + 4] + ([root + 6] if seventh else [])


def chord_pitch_classes(root, tonic, seventh=False, scale=MAJOR):
    return sorted({degree_midi(d, tonic, scale) % 12 for d in chord_degrees(root, seventh)})


def voice_chord(pcs, previous, lo, hi, centre=None):
    """The voicing of pitch classes pcs (one note each) within lo..hi that moves least from the
    previous voicing (or sits nearest centre when there is none)."""
    pool = [m for m in range(lo, hi + 1) if m % 12 in pcs]
    best, best_cost = None, None
    for combo in itertools.combinations(pool, len(pcs)):
        if len({m % 12 for m in combo}) != len(pcs) or combo[-1] - combo[0] > 14:
            continue
        if previous:
            cost = sum(abs(a - b) for a, b in zip(combo, sorted(previous)))
        else:
            cost = abs(sum(combo) / len(combo) - (centre if centre else (lo + hi) / 2))
        if best_cost is None or cost < best_cost:
            best, best_cost = list(combo), cost
    return best


# ---------------------------------------------------------------- motifs and melodies
# A motif is a list of (onset beat within the bar, length in beats, step), steps being scale degrees
# above the bar's anchor. Variations are made from it, then fitted to each bar's chord.

def invert(motif):
    """Mirror the motif's contour."""
    return [(on, d, -s) for on, d, s in motif]


def shift(motif, steps):
    return [(on, d, s + steps) for on, d, s in motif]


def ornament(motif, at):
    """Rhythmic variation: note number at (one of a beat or longer) is split in two, the second
    half anticipating the next note, or stepping up from the last one."""
    on, d, s = motif[at]
    half = 0.5 if d <= 1.5 else 1.0
    after = motif[at + 1][2] if at + 1 < len(motif) else s + 1
    return motif[:at] + [(on, half, s), (on + half, d - half, after)] + motif[at + 1:]


def _is_chord_tone(degree, root):
    return (degree - root) % 7 in (0, 2, 4)


def fit_melody(plan, chords, tonic, lo, hi, r, bar_beats=4):
    """Melody notes for a list of bars. plan[i] is None (rest) or (motif, target degree): the
    motif is anchored on the chord tone of bar i nearest the target that keeps the whole motif
    within degrees lo..hi. Notes on beats 1 and 3, notes longer than a beat and syncopated notes
    of a beat move to the nearest chord tone (of two equally near, the one nearer the note before);
    the others may pass through the scale."""
    notes = []
    previous = None
    for bar, item in enumerate(plan):
        if item is None:
            continue
        motif, target = item
        root = chords[bar]
        steps = [s for _, _, s in motif]
        tones = [d for d in range(lo - 7, hi + 8) if _is_chord_tone(d, root)]
        fitting = [d for d in tones if d + min(steps) >= lo - 1 and d + max(steps) <= hi + 1]
        anchor = min(fitting or tones, key=lambda d: (abs(d - target), d))
        for on, length, step in motif:
            deg = anchor + step
            strong = on in (0.0, 2.0) or length > 1.0 or (length >= 1.0 and on != int(on))
            if strong and not _is_chord_tone(deg, root):
                near = [d for d in (deg - 1, deg + 1, deg - 2, deg + 2)
                        if _is_chord_tone(d, root) and lo <= d <= hi]
                near.sort(key=lambda d: (abs(d - deg), abs(d - previous) if previous is not None else 0, d))
                deg = near[0]
            while deg > hi:
                deg -= 7
            while deg < lo:
                deg += 7
            accent = 0.9 if on == 0 else (0.8 if on == int(on) else 0.68)
            vel = float(np.clip(accent + r.normal(0, 0.04), 0.3, 1.0))
            notes.append((bar * bar_beats + on, length, degree_midi(deg, tonic), vel))
            previous = deg
    return notes


# ---------------------------------------------------------------- accompaniment

def chord_track(chords, tonic, lo, hi, rhythm, sevenths=(), start_bar=0, bar_beats=4, vel=0.7):
    """Chords voiced smoothly within lo..hi and struck on rhythm [(onset, length, velocity
    factor)] in every bar; sevenths lists the bars whose chord gets its seventh."""
    notes, prev = [], None
    for i, root in enumerate(chords):
        bar = start_bar + i
        voicing = voice_chord(chord_pitch_classes(root, tonic, bar in sevenths), prev, lo, hi)
        prev = voicing
        for on, length, factor in rhythm:
            for m in voicing:
                notes.append((bar * bar_beats + on, length, m, vel * factor))
    return notes


def bass_track(chords, tonic, low, pattern, start_bar=0, bar_beats=4, next_root=None):
    """A bass line from pattern [(onset, length, what, velocity)], what being 'R' root, 'O' root an
    octave up, '5' fifth, '3' third, 'A' a step leading to the next bar's root, 'L' the root an
    octave down. Roots sit in the octave from MIDI low."""
    notes = []
    for i, root in enumerate(chords):
        bar = start_bar + i
        r_m = degree_midi(root, tonic)
        while r_m >= low + 12:
            r_m -= 12
        while r_m < low:
            r_m += 12
        following = chords[i + 1] if i + 1 < len(chords) else (next_root if next_root is not None else chords[0])
        n_m = degree_midi(following, tonic)
        while n_m >= low + 12:
            n_m -= 12
        while n_m < low:
            n_m += 12
        for on, length, what, vel in pattern:
            if what == 'R':
                m = r_m
            elif what == 'O':
                m = r_m + 12
            elif what == 'L':
                m = r_m - 12 if r_m - 12 >= 28 else r_m
            elif what == '5':
                m = degree_midi(root + 4, tonic)
                m = r_m + ((m - r_m) % 12)
            elif what == '3':
                m = degree_midi(root + 2, tonic)
                m = r_m + ((m - r_m) % 12)
            elif what == 'A':
                # A scale step just below the next root, or just above when the bass falls to it.
                below = degree_midi(following - 1, tonic)
                below = n_m - ((n_m - below) % 12)
                m = below if n_m >= r_m else n_m + ((degree_midi(following + 1, tonic) - n_m) % 12)
            else:
                raise ValueError(what)
            notes.append((bar * bar_beats + on, length, m, vel))
    return notes


def arp_track(chords, tonic, lo, hi, order, step=0.25, length=0.22, start_bar=0, bar_beats=4, vel=0.7):
    """Arpeggios: each bar plays its chord's voicing (plus the lowest note an octave up as index 3)
    in the order of indices given, one note every step beats."""
    notes, prev = [], None
    for i, root in enumerate(chords):
        bar = start_bar + i
        voicing = voice_chord(chord_pitch_classes(root, tonic), prev, lo, hi)
        prev = voicing
        tones = voicing + [voicing[0] + 12]
        for k, idx in enumerate(order):
            if idx is None:
                continue
            on = k * step
            accent = 1.0 if on == int(on) else 0.8
            notes.append((bar * bar_beats + on, length, tones[idx], vel * accent))
    return notes


def drum_grid(bars, rows, start_bar=0, steps_per_bar=16, bar_beats=4):
    """Hits from text grids, one character per step: 'X' full, 'x' 0.75, 'o' 0.5, '.' 0.3 and
    '-' rest. rows maps a drum name to a grid string (repeated over the bars)."""
    levels = {'X': 1.0, 'x': 0.75, 'o': 0.5, '.': 0.3}
    hits = []
    for name, grid in rows.items():
        grid = grid.replace(' ', '').replace('|', '')
        for bar in range(bars):
            for k in range(steps_per_bar):
                ch = grid[(bar * steps_per_bar + k) % len(grid)]
                if ch in levels:
                    hits.append((name, (start_bar + bar) * bar_beats + k * bar_beats / steps_per_bar, levels[ch]))
    return hits


# ---------------------------------------------------------------- rendering

def beat_sample(beat, samples_per_beat, swing=0.0):
    """Sample index of a beat position; swing (beats) delays the off-beat eighth, and everything
    between moves proportionally."""
    whole = np.floor(beat)
    frac = beat - whole
    if swing:
        frac = np.where(frac < 0.5, frac * (0.5 + swing) / 0.5,
                        0.5 + swing + (frac - 0.5) * (0.5 - swing) / 0.5)
    return int(round((whole + frac) * samples_per_beat))


def render_notes(loop_len, samples_per_beat, notes, instrument, position, seed,
                 swing=0.0, humanise=0.004, gain=1.0):
    """Renders the notes with instrument(freq, seconds, velocity) into a stereo loop buffer of
    loop_len samples, panned to position; onsets wander by up to about humanise seconds."""
    buf = np.zeros((loop_len, 2))
    cache = {}
    r = syn.rng('render', seed)
    for beat, length, midi, vel in notes:
        jitter = int(np.clip(r.normal(0.0, humanise / 2), -humanise, humanise) * syn.SR)
        start = beat_sample(beat, samples_per_beat, swing) + jitter
        n_held = int(round(length * samples_per_beat))
        key = (midi, n_held, round(vel, 2))
        if key not in cache:
            sig = instrument(syn.midi_hz(midi), n_held / syn.SR, round(vel, 2))
            cache[key] = syn.pan(sig, position)
        syn.add_wrapped(buf, start, cache[key] * gain)
    return buf


def render_drums(loop_len, samples_per_beat, hits, kit, seed, swing=0.0, humanise=0.002):
    """Renders drum hits [(name, beat, level)] with kit[name] = (sound array, pan position, gain)."""
    buf = np.zeros((loop_len, 2))
    r = syn.rng('drums', seed)
    panned = {name: syn.pan(sound, position) * gain for name, (sound, position, gain) in kit.items()}
    for name, beat, level in hits:
        jitter = int(np.clip(r.normal(0.0, humanise / 2), -humanise, humanise) * syn.SR)
        vel = level * float(np.clip(1.0 + r.normal(0, 0.05), 0.85, 1.15))
        syn.add_wrapped(buf, beat_sample(beat, samples_per_beat, swing) + jitter, panned[name] * vel)
    return buf
