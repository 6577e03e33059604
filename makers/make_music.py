#!/usr/bin/python3
# Composes and renders Plimo's two looping music tracks: data/menu.ogg and data/ingame1.ogg.
#
# Usage: makers/make_music.py [--notes] [--wav DIR]
#   --notes    also print each track's melody as note names (for checking the tunes by eye)
#   --wav DIR  also keep the rendered loops as 16-bit WAV files in DIR
#
# Every random choice comes from fixed seeds, so the output is the same on every run. Each track is
# rendered as one period of a loop: note tails, echoes and reverb wrap round to the start, so the
# end of the file runs on into its beginning without a click.

import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import audio_sequencer as seq  # noqa: E402
import audio_synth as syn  # noqa: E402

NOTE_NAMES = ['C', 'C#', 'D', 'Eb', 'E', 'F', 'F#', 'G', 'Ab', 'A', 'Bb', 'B']


def note_name(m):
    return '%s%d' % (NOTE_NAMES[m % 12], m // 12 - 1)


def print_melody(title, notes, bar_beats=4):
    print(title)
    bars = {}
    for beat, length, m, vel in notes:
        bars.setdefault(int(beat // bar_beats), []).append('%s(%g)' % (note_name(m), length))
    for bar in sorted(bars):
        print('  bar %2d: %s' % (bar, ' '.join(bars[bar])))


def mix(loop_len, buses, reverb_ir, echo_delay, echo_feedback, echo_cutoff):
    """Sums the buses [(stereo buffer, gain dB, reverb send, echo send)]: the echo is fed by the
    echo sends, the reverb by the reverb sends and by the echo itself. All wrap round the loop."""
    dry = np.zeros((loop_len, 2))
    rev_send = np.zeros(loop_len)
    echo_send = np.zeros(loop_len)
    for buf, gain_db, rev, ech in buses:
        g = syn.db(gain_db)
        dry += buf * g
        mono = buf.mean(axis=1) * g
        rev_send += mono * rev
        echo_send += mono * ech
    echoes = syn.echo(echo_send, echo_delay, echo_feedback, cutoff=echo_cutoff, circular=True)
    rev_send += echoes.mean(axis=1) * 0.5
    wet = syn.convolve(rev_send, reverb_ir, circular=True)
    return dry + echoes + wet


def finish(x, low_db, high_db):
    """Mastering: rumble and DC removed, a gentle tone tilt, peaks limited to -11.3 dBFS (the
    encoder's ripple brings them close to -11 dBFS). The music plays at full mixer volume and
    the effects at 48 of 128, so the tracks stay that far down for every effect to stand at
    least 6 dB over them (tools/check_audio_data.py measures it)."""
    x = syn.bandpass(x, 30.0, None, 2, circular=True)
    x = syn.tilt(x, low_db, high_db, circular=True)
    return syn.master(x, -11.3, drive_db=1.5, circular=True)


# ---------------------------------------------------------------- menu track

def menu_track(show_notes):
    """Friendly and relaxed: 100 BPM in F major with a light swing, electric piano, round bass,
    marimba tune (flute in the middle, both in the reprise), glockenspiel answers, brushes and shaker.
    24 bars: A (light) / B (full, contrasting) / A' (full, tune varied), each ending on C so every
    section leads back home."""
    bpm, bars = 100, 24
    spb = syn.SR * 60 // bpm          # 26460 samples a beat
    loop_len = spb * 4 * bars
    tonic = 65                        # F4: scale degree 0 of the tunes
    r = np.random.default_rng(1001)
    swing = 0.06

    a_part = [0, 2, 3, 4, 0, 2, 3, 4]          # F Am Bb C | F Am Bb C
    b_part = [5, 3, 0, 4, 5, 3, 1, 4]          # Dm Bb F C | Dm Bb Gm C
    a2_part = [0, 2, 3, 4, 0, 5, 1, 4]         # F Am Bb C | F Dm Gm C
    chords = a_part + b_part + a2_part
    sevenths = {8, 11, 13, 14, 15, 21, 22, 23}

    # The tune: one motif, its answer, and variations of both.
    motif = [(0, .5, 0), (.5, .5, 1), (1, 1, 2), (2, 1.5, 4), (3.5, .5, 3)]
    answer = [(0, 1.5, 2), (1.5, .5, 1), (2, 1, 0), (3, 1, -1)]
    home = [(0, .5, 2), (.5, .5, 1), (1, 3, 0)]
    rise_end = [(0, 1, 0), (1, 1, 1), (2, 2, 2)]
    fall_end = [(0, 1, 2), (1, 1, 1), (2, 2, 0)]
    b_motif = [(0, 1.5, 0), (1.5, .5, 1), (2, 1, 2), (3, .5, 1), (3.5, .5, 0)]
    b_answer = [(0, 2, 0), (2, 1, -2), (3, 1, -1)]

    plan_a = [(motif, 0), (answer, 2), (seq.ornament(motif, 2), 5), (home, 4),
              (motif, 0), (answer, 2), (motif, 5), (rise_end, 6)]
    plan_b = [(b_motif, 7), (b_answer, 5), (b_motif, 4), (fall_end, 6),
              (b_motif, 5), (b_answer, 5), (seq.ornament(answer, 0), 8), (home, 4)]
    plan_a2 = [(seq.ornament(motif, 3), 0), (answer, 2), (motif, 5), (home, 4),
               (motif, 7), (answer, 7), (answer, 6), (home, 4)]
    tune_a = seq.fit_melody(plan_a, a_part, tonic, 0, 12, r)
    tune_b = seq.fit_melody(plan_b, b_part, tonic, 0, 12, r)
    tune_a2 = seq.fit_melody(plan_a2, a2_part, tonic, 0, 12, r)
    move = lambda notes, bars_: [(b + 4 * bars_, d, m, v) for b, d, m, v in notes]
    tune_b = move(tune_b, 8)
    tune_a2 = move(tune_a2, 16)

    # Glockenspiel answers in B: a little arpeggio after each phrase of the tune, an octave up.
    glock_plan = [None, ([(2, .5, 0), (2.5, .5, 2), (3, 1, 4)], 9), None,
                  ([(2.5, .5, 4), (3, .5, 2), (3.5, .5, 0)], 4)] * 2
    glock_notes = move(seq.fit_melody(glock_plan, b_part, tonic + 12, 0, 9, r), 8)
    # ... and a few sparkles in the reprise.
    glock_plan2 = [None, None, None, ([(2, .5, 0), (2.5, .5, 2), (3, 1, 4)], 4)] * 2
    glock_notes += move(seq.fit_melody(glock_plan2, a2_part, tonic + 12, 0, 9, r), 16)

    if show_notes:
        print_melody('menu: tune A', tune_a)
        print_melody('menu: tune B', tune_b)
        print_melody("menu: tune A'", tune_a2)
        print_melody('menu: glockenspiel', glock_notes)

    comp = [(0, 1.45, 1.0), (1.5, 0.45, 0.55), (2.5, 1.4, 0.75)]
    piano = seq.chord_track(chords, tonic, 50, 69, comp, sevenths, vel=0.55)
    bass_pat = [(0, 1.4, 'R', 0.9), (1.5, 0.45, 'R', 0.55), (2, 0.9, '5', 0.75),
                (3, 0.45, 'O', 0.6), (3.5, 0.45, 'A', 0.65)]
    bass = seq.bass_track(chords, tonic, 36, bass_pat)
    pads = seq.chord_track(b_part + a2_part, tonic, 57, 74, [(0, 3.9, 1.0)], start_bar=8, vel=0.6)

    def notes_buf(notes, inst, position, seed, gain=1.0):
        return seq.render_notes(loop_len, spb, notes, inst, position, seed, swing, 0.005, gain)

    kit = {
        'kick': (syn.kick(0.9, 0.95), 0.0, 0.6),
        'brush': (syn.snare(1.0, 0.3, brush=True), 0.1, 0.6),
        'rim': (syn.rim(1.0), 0.25, 0.35),
        'hat': (syn.hat(1.0), 0.35, 0.3),
        'shaker': (syn.shaker(1.0), -0.4, 0.45),
        'tom': (syn.tom(1.0, 150.0), -0.2, 0.5),
    }
    light = seq.drum_grid(4, {'shaker': 'o.x.o.x.o.x.o.x.', 'rim': '------------x---'})
    light += seq.drum_grid(4, {'shaker': 'o.x.o.x.o.x.o.x.', 'rim': '------------x---',
                               'kick': 'X-------X-----o-'}, start_bar=4)
    full_rows = {'kick': 'X-------X-----o-', 'brush': '----x-------x---',
                 'hat': '--o---o---o---o-', 'shaker': 'o.x.o.x.o.x.o.x.'}
    full = seq.drum_grid(16, full_rows, start_bar=8)
    # Little fills lead into each section: brushes at the end of B, toms before the loop starts over.
    fills = [('brush', 15 * 4 + 3 + k * 0.25, 0.3 + 0.15 * k) for k in range(4)]
    fills += [('tom', 23 * 4 + 3, 0.6), ('tom', 23 * 4 + 3.5, 0.5)]
    fills += [('brush', 7 * 4 + 3.5, 0.5)]
    drums = seq.render_drums(loop_len, spb, light + full + fills, kit, 1002, swing, 0.004)

    buses = [
        (notes_buf(piano, syn.epiano, -0.25, 1), -9.0, 0.3, 0.0),
        (notes_buf(bass, syn.round_bass, 0.0, 2), -6.0, 0.03, 0.0),
        (notes_buf(tune_a + tune_a2, syn.marimba, 0.2, 3), -5.0, 0.28, 0.22),
        (notes_buf(tune_b, syn.flute, 0.15, 4), -8.5, 0.35, 0.25),
        (notes_buf(tune_a2, syn.flute, -0.3, 5), -14.0, 0.3, 0.1),
        (notes_buf(glock_notes, syn.glock, 0.45, 6), -13.0, 0.4, 0.3),
        (notes_buf(pads, syn.pad, 0.0, 7), -20.0, 0.45, 0.0),
        (drums, -1.0, 0.12, 0.0),
    ]
    ir = syn.reverb_ir(2.6, 1.9, 'menu', damping=0.55)
    x = mix(loop_len, buses, ir, 0.75 * spb / syn.SR, 0.32, 2800.0)
    return finish(x, 0.5, -1.0), bpm, bars


# ---------------------------------------------------------------- in-game track

def game_track(show_notes):
    """Driving and bright: 135 BPM in E minor / G major, four-on-the-floor drums, pumping eighth-note
    synth bass, sixteenth-note arpeggios, a singing lead from the second section on.
    32 bars: A (groove) / B (tune) / A' (tune varied over the groove) / C (bridge, fill into the top)."""
    bpm, bars = 135, 32
    spb = syn.SR * 60 // bpm          # 19600 samples a beat
    loop_len = spb * 4 * bars
    tonic = 67                        # G4: scale degree 0 of the tunes
    r = np.random.default_rng(2002)

    a_part = [5, 3, 0, 4] * 2                   # Em C G D
    b_part = [3, 4, 2, 5, 3, 4, 0, 4]           # C D Bm Em | C D G D
    c_part = [1, 5, 3, 4] * 2                   # Am Em C D
    chords = a_part + b_part + a_part + c_part

    motif = [(0, .5, 0), (.5, .5, 0), (1, .5, 2), (1.5, 1, 4), (2.5, .5, 3), (3, 1, 2)]
    answer = [(0, 1.5, 2), (1.5, .5, 1), (2, .5, 0), (2.5, .5, 1), (3, 1, -1)]
    run_up = [(0, .5, 0), (.5, .5, 1), (1, .5, 2), (1.5, .5, 3), (2, 2, 4)]
    landing = [(0, 1, 2), (1, .5, 1), (1.5, 2.5, 0)]
    bridge = [(0, 1.5, 0), (1.5, 1, 2), (2.5, 1.5, 4)]
    bridge_high = [(0, 1.5, 0), (1.5, 1, 2), (2.5, 1.5, 7)]
    bridge_answer = [(0, .5, 0), (.5, .5, 1), (1, 1, 2), (2, 1.5, 0), (3.5, .5, -1)]

    plan_b = [(motif, 3), (answer, 6), (seq.ornament(motif, 3), 4), (landing, 5),
              (motif, 5), (answer, 6), (run_up, 2), (landing, 6)]
    plan_a2 = [(seq.ornament(motif, 5), 4), (answer, 5), (motif, 2), (landing, 6),
               (seq.ornament(motif, 3), 7), (answer, 7), (run_up, 7), (landing, 8)]
    plan_c = [(bridge, 1), (bridge_answer, 5), (bridge, 3), (landing, 6),
              (bridge_high, 1), (bridge_answer, 7), (run_up, 3), (landing, 6)]
    move = lambda notes, bars_: [(b + 4 * bars_, d, m, v) for b, d, m, v in notes]
    tune = move(seq.fit_melody(plan_b, b_part, tonic, -1, 11, r), 8)
    tune += move(seq.fit_melody(plan_a2, a_part, tonic, -1, 11, r), 16)
    tune += move(seq.fit_melody(plan_c, c_part, tonic, -1, 11, r), 24)
    if show_notes:
        print_melody('game: lead', tune)

    bass_pat = [(0, .4, 'R', .95), (.5, .4, 'R', .6), (1, .4, 'O', .8), (1.5, .4, 'R', .6),
                (2, .4, 'R', .9), (2.5, .4, 'R', .6), (3, .4, 'O', .8), (3.5, .4, 'A', .7)]
    bass = seq.bass_track(chords, tonic, 40, bass_pat)
    arp_order = [0, 1, 2, 3, 2, 1, 0, 1, 0, 1, 2, 3, 2, 3, 1, 2]
    arps = seq.arp_track(chords, tonic, 64, 79, arp_order, vel=0.7)
    stabs = seq.chord_track(chords, tonic, 55, 72, [(0, 3.8, 1.0)], vel=0.6)

    def notes_buf(notes, inst, position, seed, gain=1.0):
        return seq.render_notes(loop_len, spb, notes, inst, position, seed, 0.0, 0.002, gain)

    kit = {
        'kick': (syn.kick(1.0, 1.0), 0.0, 1.0),
        'clap': (syn.clap(1.0), 0.05, 0.75),
        'snare': (syn.snare(1.0, 0.3), 0.0, 0.45),
        'hat': (syn.hat(1.0), 0.3, 0.42),
        'ohat': (syn.hat(1.0, open_=True), 0.3, 0.3),
        'crash': (syn.crash(1.0), -0.3, 0.3),
        'tom_hi': (syn.tom(1.0, 180.0), 0.3, 0.6),
        'tom_lo': (syn.tom(1.0, 120.0), -0.3, 0.6),
    }
    rows = {'kick': 'X---X---X---X---', 'clap': '----X-------X---', 'hat': 'o.x.o.x.o.x.o.x.',
            'ohat': '-' * 30 + 'x-'}
    hits = seq.drum_grid(31, rows)
    # The last bar ends in a fill that throws the groove back to the top of the loop.
    hits += seq.drum_grid(1, {'kick': 'X---X---X---X-X-', 'clap': '----X-------', 'hat': 'o.x.o.x.'},
                          start_bar=31)
    hits += [('snare', 31 * 4 + 2 + k * 0.25, 0.35 + 0.06 * k) for k in range(4)]
    hits += [('tom_hi', 31 * 4 + 3, 0.8), ('tom_hi', 31 * 4 + 3.25, 0.7),
             ('tom_lo', 31 * 4 + 3.5, 0.8), ('tom_lo', 31 * 4 + 3.75, 0.75)]
    # Section C doubles the clap with a snare for a lift; crashes mark each section's start.
    hits += seq.drum_grid(7, {'snare': '----x-------x---'}, start_bar=24)
    hits += [('crash', 4 * bar, 0.8) for bar in (0, 8, 16, 24)]
    drums = seq.render_drums(loop_len, spb, hits, kit, 2003, 0.0, 0.0015)

    buses = [
        (notes_buf(bass, syn.synth_bass, 0.0, 11), -7.5, 0.0, 0.0),
        (notes_buf(arps, syn.arp_pluck, 0.35, 12), -13.0, 0.2, 0.35),
        (notes_buf(stabs, lambda f, d, v: syn.pad(f, d, v, attack=0.06, cutoff=1800.0), 0.0, 13), -19.0, 0.3, 0.0),
        (notes_buf(tune, syn.lead, -0.15, 14), -9.0, 0.22, 0.3),
        (drums, -3.0, 0.08, 0.0),
    ]
    ir = syn.reverb_ir(1.8, 1.3, 'game', damping=0.6)
    x = mix(loop_len, buses, ir, 0.75 * spb / syn.SR, 0.3, 3000.0)
    return finish(x, 0.0, -0.5), bpm, bars


def main():
    show = '--notes' in sys.argv
    wav_dir = sys.argv[sys.argv.index('--wav') + 1] if '--wav' in sys.argv else None
    out = syn.repo_data_dir()
    for name, make, title in (('menu', menu_track, 'Plimo menu'), ('ingame1', game_track, 'Plimo game')):
        x, bpm, bars = make(show)
        comments = ['TITLE=%s' % title, 'ARTIST=Plimo', 'BPM=%d' % bpm, 'BARS=%d' % bars,
                    'LOOP=whole file']
        syn.write_ogg(os.path.join(out, name + '.ogg'), x, 3, comments)
        if wav_dir:
            syn.write_wav(os.path.join(wav_dir, name + '.wav'), x)
        print('%s.ogg: %d bars at %d BPM, %.2f s' % (name, bars, bpm, x.shape[0] / syn.SR))


if __name__ == '__main__':
    main()
