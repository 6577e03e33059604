#!/usr/bin/python3
# Checks Plimo's music and effect files in data/: formats, lengths, sizes, levels, loop seams,
# and that every effect stands in its band over the music at the volumes the game plays them at.
#
# Usage: tools/check_audio_data.py [DATA_DIR]
# Prints one line per problem and exits 1 if there is any, 0 when all is well. Exits 77 (a
# skipped test) when neither sox nor oggdec is installed to decode the music.

import os
import shutil
import struct
import subprocess
import sys
import wave

import numpy as np

RATE = 44100
MAX_MUSIC_BYTES = 1500000

# Effect file, shortest and longest acceptable length (s), the music it plays over, and the
# band (dB) its loudest 50 ms stands in above that music's median 50 ms, as the player
# hears them (see window_levels): answer effects are heard clearly, interface ticks just
# over the music, and none of them tires.
ANSWER_BAND = (4.0, 10.0)
TICK_BAND = (0.0, 6.0)
EFFECTS = [
    ('menuselect.wav', 0.08, 0.30, 'menu.ogg', TICK_BAND),
    ('menumove.wav', 0.03, 0.12, 'menu.ogg', TICK_BAND),
    ('failed.wav', 0.80, 1.80, 'menu.ogg', ANSWER_BAND),
    ('wrong.wav', 0.15, 0.40, 'ingame1.ogg', ANSWER_BAND),
    ('correct.wav', 0.15, 0.40, 'ingame1.ogg', ANSWER_BAND),
    ('cleared.wav', 0.60, 1.50, 'ingame1.ogg', ANSWER_BAND),
    ('typing.wav', 0.015, 0.05, 'ingame1.ogg', TICK_BAND),
]
# A clearing answer plays the key's click, the cleared fanfare and the right-answer chime at
# once, over the game music: together at most this far over its median.
CLEARING = ('typing.wav', 'cleared.wav', 'correct.wav')
CLEARING_MAX_DB = 12.0
MUSIC = ['menu.ogg', 'ingame1.ogg']
# The game's mixer volumes (of 128): every effect channel at 48, the music at 128.
EFFECT_VOLUME = 48
MUSIC_VOLUME = 128
# Effects peak no higher than this (dBFS), leaving room for the mixer to add them to the music.
EFFECT_CEILING_DB = -1.0
# Loudness as ITU-R BS.1770 measures it (K-weighting, channel powers summed, -0.691 dB) over
# 50 ms windows, 10 ms apart; a mono effect is heard on both output channels.
WINDOW = 0.05
HOP = 0.01
# The select sound and the right-answer chime may not share a timbre: the correlation of
# their third-octave spectra (dB) stays below this.
SELECT_CORRECT_MAX_CORRELATION = 0.8

problems = []


def problem(name, text):
    problems.append('%s: %s' % (name, text))


def dbfs(x):
    return 20.0 * np.log10(max(x, 1e-9))


# ---------------------------------------------------------------- Ogg Vorbis headers

def ogg_info(path):
    """Reads an Ogg Vorbis file's identification and comment headers and the last page's granule
    position. Returns dict(channels, rate, samples, comments) or raises ValueError."""
    with open(path, 'rb') as f:
        data = f.read()
    pos, packets, partial, last_granule = 0, [], b'', None
    while pos < len(data):
        if data[pos:pos + 4] != b'OggS':
            raise ValueError('not an Ogg stream (bad page at byte %d)' % pos)
        granule = struct.unpack_from('<q', data, pos + 6)[0]
        nseg = data[pos + 26]
        table = data[pos + 27:pos + 27 + nseg]
        body = pos + 27 + nseg
        for lace in table:
            partial += data[body:body + lace]
            body += lace
            if lace < 255:
                packets.append(partial)
                partial = b''
        if granule != -1:
            last_granule = granule
        pos = body
    if len(packets) < 2 or packets[0][:7] != b'\x01vorbis' or packets[1][:7] != b'\x03vorbis':
        raise ValueError('no Vorbis headers')
    channels = packets[0][11]
    rate = struct.unpack_from('<I', packets[0], 12)[0]
    c = packets[1]
    vendor_len = struct.unpack_from('<I', c, 7)[0]
    at = 11 + vendor_len
    count = struct.unpack_from('<I', c, at)[0]
    at += 4
    comments = {}
    for _ in range(count):
        n = struct.unpack_from('<I', c, at)[0]
        key, _, value = c[at + 4:at + 4 + n].decode('utf-8', 'replace').partition('=')
        comments[key.upper()] = value
        at += 4 + n
    return {'channels': channels, 'rate': rate, 'samples': last_granule, 'comments': comments}


def decode_ogg(path):
    """Decoded samples as float (n, channels) in -1..1, or None when no decoder is installed."""
    if shutil.which('sox'):
        cmd = ['sox', path, '-t', 'raw', '-e', 'signed', '-b', '16', '-L', '-']
    elif shutil.which('oggdec'):
        cmd = ['oggdec', '-Q', '-R', '-b', '16', '-e', '0', '-s', '1', '-o', '-', path]
    else:
        return None
    raw = subprocess.run(cmd, capture_output=True, check=True).stdout
    return np.frombuffer(raw, '<i2').reshape(-1, 2).astype(float) / 32768.0


# ---------------------------------------------------------------- loudness

def k_weighting(freqs):
    """Complex response at freqs (Hz) of BS.1770's K-weighting at RATE: the high shelf of
    about +4 dB over 1.7 kHz (the head), then the high-pass at 38 Hz, both biquads made
    for the sample rate from their analogue designs."""
    def biquad(b, a):
        z = np.exp(-2j * np.pi * np.asarray(freqs, float) / RATE)
        return (b[0] + b[1] * z + b[2] * z * z) / (a[0] + a[1] * z + a[2] * z * z)
    gain, q, fc = 3.99984385397, 0.7071752369554193, 1681.974450955533
    k = np.tan(np.pi * fc / RATE)
    vh, vb = 10.0 ** (gain / 20.0), (10.0 ** (gain / 20.0)) ** 0.499666774155
    a0 = 1.0 + k / q + k * k
    shelf = biquad([(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0],
                   [1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0])
    q, fc = 0.5003270373253953, 38.13547087613982
    k = np.tan(np.pi * fc / RATE)
    a0 = 1.0 + k / q + k * k
    high = biquad([1.0, -2.0, 1.0], [1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0])
    return shelf * high


def window_levels(x, volume):
    """K-weighted level (LUFS-like dB) of every 50 ms window of x (n, channels), 10 ms
    apart, as heard at mixer volume (of 128) on two output channels; x shorter than a
    window is padded with silence. The filters run causally (their response times the
    spectrum, with a second of room for their tails)."""
    if x.shape[1] == 1:
        x = np.repeat(x, 2, axis=1)
    w, h = int(WINDOW * RATE), int(HOP * RATE)
    n = max(len(x), w)
    size = n + RATE
    spectrum = np.fft.rfft(x, n=size, axis=0) * k_weighting(np.fft.rfftfreq(size, 1.0 / RATE))[:, None]
    y = np.fft.irfft(spectrum, size, axis=0)[:n] * (volume / 128.0)
    power = np.sum(y ** 2, axis=1)
    sums = np.concatenate([[0.0], np.cumsum(power)])
    starts = np.arange(0, n - w + 1, h)
    return -0.691 + 10.0 * np.log10(np.maximum((sums[starts + w] - sums[starts]) / w, 1e-20))


def loudest(x):
    """An effect's loudest 50 ms at the game's effect volume."""
    return float(np.max(window_levels(x, EFFECT_VOLUME)))


def music_level(x):
    """A track's median 50 ms at the game's music volume."""
    return float(np.median(window_levels(x, MUSIC_VOLUME)))


def read_effect(path):
    """Samples of a 16-bit PCM WAV as float (n, channels) in -1..1, with its rate."""
    with wave.open(path, 'rb') as w:
        channels, width, rate = w.getnchannels(), w.getsampwidth(), w.getframerate()
        raw = w.readframes(w.getnframes())
    return np.frombuffer(raw, '<i2').reshape(-1, channels).astype(float) / 32768.0, width, rate


def band_spectrum(x):
    """Third-octave band levels (dB) of x from 125 Hz to 10 kHz, relative to their mean."""
    mag = np.abs(np.fft.rfft(x.mean(axis=1))) ** 2
    freqs = np.fft.rfftfreq(len(x), 1.0 / RATE)
    centres = 125.0 * 2.0 ** (np.arange(0, 19) / 3.0)
    bands = [mag[(freqs >= c * 2 ** (-1 / 6.0)) & (freqs < c * 2 ** (1 / 6.0))].sum() + 1e-12 for c in centres]
    levels = 10.0 * np.log10(bands)
    return levels - levels.mean()


# ---------------------------------------------------------------- checks

def check_levels(name, x, lowest_peak_db):
    """Peak within range, nothing clipped, no DC offset."""
    peak = float(np.max(np.abs(x)))
    if dbfs(peak) > -0.1:
        problem(name, 'peak %.2f dBFS is too close to full scale' % dbfs(peak))
    if dbfs(peak) < lowest_peak_db:
        problem(name, 'peak %.1f dBFS is too quiet (want at least %.0f dBFS)' % (dbfs(peak), lowest_peak_db))
    clipped = int(np.sum(np.abs(x) >= 32767.0 / 32768.0))
    if clipped:
        problem(name, '%d clipped samples' % clipped)
    dc = float(np.max(np.abs(np.mean(x, axis=0))))
    if dc > 0.01:
        problem(name, 'DC offset %.3f' % dc)


def check_seam(name, x):
    """The last sample must run on into the first as smoothly as the track runs anywhere: the jump
    and the bend across the seam may not exceed what 99.9 % of the track's own steps stay under."""
    for ch in range(x.shape[1]):
        y = x[:, ch]
        step = abs(y[0] - y[-1])
        bend = abs(y[0] - 2 * y[-1] + y[-2])
        usual_step = np.percentile(np.abs(np.diff(y)), 99.9)
        usual_bend = np.percentile(np.abs(np.diff(y, 2)), 99.9)
        if step > usual_step or bend > usual_bend:
            problem(name, 'loop seam clicks on channel %d (jump %.4f, bend %.4f; the track itself '
                          'stays under %.4f and %.4f)' % (ch, step, bend, usual_step, usual_bend))


def check_no_gaps(name, x, window=0.5, floor_db=-45.0):
    n = int(window * RATE)
    frames = x[:len(x) // n * n].reshape(-1, n, x.shape[1])
    rms = np.sqrt(np.mean(frames ** 2, axis=(1, 2)))
    quiet = np.nonzero(rms < 10 ** (floor_db / 20.0))[0]
    if len(quiet):
        problem(name, 'near-silent stretch at %.1f s' % (quiet[0] * window))


def check_music(data_dir):
    """Checks the tracks; returns each one's median 50 ms level and highest sample, at the
    game's music volume."""
    tempos, loudness = {}, {}
    for name in MUSIC:
        path = os.path.join(data_dir, name)
        if not os.path.isfile(path):
            problem(name, 'missing')
            continue
        size = os.path.getsize(path)
        if size >= MAX_MUSIC_BYTES:
            problem(name, 'file is %d bytes, over %d' % (size, MAX_MUSIC_BYTES))
        try:
            info = ogg_info(path)
        except (ValueError, struct.error, IndexError) as e:
            problem(name, str(e))
            continue
        if info['rate'] != RATE or info['channels'] != 2:
            problem(name, '%d Hz, %d channels; want 44100 Hz stereo' % (info['rate'], info['channels']))
        samples = info['samples'] or 0
        seconds = samples / float(RATE)
        if not 30.0 <= seconds <= 90.0:
            problem(name, 'lasts %.2f s, want 30 to 90 s' % seconds)
        try:
            bpm = int(info['comments']['BPM'])
            bars = int(info['comments']['BARS'])
            tempos[name] = bpm
            whole = bars * 4 * 60 * RATE / float(bpm)
            if abs(samples - whole) > 0.5:
                problem(name, '%d samples is not exactly %d bars at %d BPM (%g samples)'
                        % (samples, bars, bpm, whole))
        except (KeyError, ValueError):
            problem(name, 'no BPM and BARS comments to check the loop length by')
        x = decode_ogg(path)
        if x is None:
            print('check_audio_data: neither sox nor oggdec is installed; cannot decode the music')
            sys.exit(77)
        if len(x) != samples:
            problem(name, 'decodes to %d samples, headers say %d' % (len(x), samples))
        check_levels(name, x, -13.0)
        check_no_gaps(name, x)
        check_seam(name, x)
        loudness[name] = (music_level(x), float(np.max(np.abs(x))) * MUSIC_VOLUME / 128.0)
        print('%s: %.2f s, %d bytes, peak %.2f dBFS, median 50 ms %.1f dB (K-weighted)'
              % (name, seconds, size, dbfs(np.max(np.abs(x))), loudness[name][0]))
    if len(tempos) == 2 and tempos['ingame1.ogg'] <= tempos['menu.ogg']:
        problem('ingame1.ogg', 'should be faster than the menu track (%d vs %d BPM)'
                % (tempos['ingame1.ogg'], tempos['menu.ogg']))
    return loudness


def check_effects(data_dir, music):
    """Formats, lengths and peaks of the effects; each one's loudest 50 ms in its band over the
    music it plays over, a clearing answer's three together under their ceiling, and no mix
    of them with the music beyond full scale."""
    spectra, sounds = {}, {}
    for name, shortest, longest, track, (low, high) in EFFECTS:
        path = os.path.join(data_dir, name)
        if not os.path.isfile(path):
            problem(name, 'missing')
            continue
        try:
            x, width, rate = read_effect(path)
        except (wave.Error, EOFError) as e:
            problem(name, 'not a PCM WAV file: %s' % e)
            continue
        if width != 2 or rate != RATE or x.shape[1] not in (1, 2):
            problem(name, '%d-bit, %d Hz, %d channels; want 16-bit 44100 Hz mono or stereo'
                    % (8 * width, rate, x.shape[1]))
            continue
        seconds = len(x) / float(RATE)
        if not shortest <= seconds <= longest:
            problem(name, 'lasts %.3f s, want %.3f to %.3f s' % (seconds, shortest, longest))
        if len(x) < 2:
            continue
        check_levels(name, x, -60.0)
        sounds[name] = x
        peak = dbfs(float(np.max(np.abs(x))))
        if peak > EFFECT_CEILING_DB + 0.05:
            problem(name, 'peak %.2f dBFS is over the %.0f dBFS ceiling' % (peak, EFFECT_CEILING_DB))
        level = loudest(x)
        spectra[name] = band_spectrum(x)
        over = None
        if track in music:
            over = level - music[track][0]
            if not low <= over <= high:
                problem(name, 'loudest 50 ms %.1f dB over the median of %s, want %.0f to %.0f dB'
                        % (over, track, low, high))
            if music[track][1] + EFFECT_VOLUME / 128.0 * 10 ** (peak / 20.0) >= 1.0:
                problem(name, 'over the peaks of %s it would clip' % track)
        # Starting or being cut off must not click: both ends sit at silence.
        edge = max(float(np.max(np.abs(x[0]))), float(np.max(np.abs(x[-1]))))
        if edge > 0.005:
            problem(name, 'does not start and end at silence (edge sample %.3f)' % edge)
        print('%s: %.3f s, peak %.2f dBFS, loudest 50 ms %.1f dB at volume %d%s'
              % (name, seconds, peak, level, EFFECT_VOLUME,
                 '' if over is None else ', %+.1f dB over %s' % (over, track)))
    if all(n in sounds for n in CLEARING) and 'ingame1.ogg' in music:
        together = np.zeros((max(len(sounds[n]) for n in CLEARING), 2))
        for n in CLEARING:
            together[:len(sounds[n])] += sounds[n] if sounds[n].shape[1] == 2 else np.repeat(sounds[n], 2, axis=1)
        over = loudest(together) - music['ingame1.ogg'][0]
        if over > CLEARING_MAX_DB:
            problem('clearing', '%s together stand %.1f dB over the median of ingame1.ogg, want at most '
                                '%.0f dB' % (' + '.join(CLEARING), over, CLEARING_MAX_DB))
        if music['ingame1.ogg'][1] + EFFECT_VOLUME / 128.0 * float(np.max(np.abs(together))) >= 1.0:
            problem('clearing', '%s together over the peaks of ingame1.ogg would clip' % ' + '.join(CLEARING))
        print('clearing (%s): %+.1f dB over ingame1.ogg' % (' + '.join(CLEARING), over))
    if 'menuselect.wav' in spectra and 'correct.wav' in spectra:
        r = float(np.corrcoef(spectra['menuselect.wav'], spectra['correct.wav'])[0, 1])
        if r >= SELECT_CORRECT_MAX_CORRELATION:
            problem('menuselect.wav', 'sounds like correct.wav (spectra correlate %.2f)' % r)
        print('menuselect.wav and correct.wav: spectra correlate %.2f' % r)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    data_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(here), 'data')
    check_effects(data_dir, check_music(data_dir))
    for p in problems:
        print('problem: ' + p)
    sys.exit(1 if problems else 0)


if __name__ == '__main__':
    main()
