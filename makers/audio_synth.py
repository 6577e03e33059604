# Plimo's little synthesiser: oscillators, envelopes, instruments, drums, effects and file output.
#
# Everything works on float64 numpy arrays at 44.1 kHz, mono (n,) or stereo (n, 2), full scale 1.0.
# Filters and effects work in the frequency domain; the *_circular variants treat the signal as one
# period of a loop, so a track rendered with them repeats seamlessly.

import os
import subprocess
import tempfile
import wave

import numpy as np

SR = 44100


def midi_hz(m):
    """Frequency in Hz of MIDI note m (69 = A4 = 440 Hz)."""
    return 440.0 * 2.0 ** ((m - 69) / 12.0)


def db(gain_db):
    """Linear gain of a level in dB."""
    return 10.0 ** (gain_db / 20.0)


def note_seed(*parts):
    """A stable seed from a note's parameters, so that random details repeat run after run."""
    h = 2166136261
    for ch in repr(parts).encode():
        h = ((h ^ ch) * 16777619) & 0xFFFFFFFF
    return h


def rng(*parts):
    return np.random.default_rng(note_seed(*parts))


# ---------------------------------------------------------------- envelopes

def adsr(n, attack, decay, sustain, release, gate):
    """Envelope of n samples: attack (s, sine-shaped rise), exponential decay with time constant
    decay (s) towards sustain (0..1), held until gate (s), then an exponential release that is down
    60 dB after release (s). The last 3 ms always fade to exactly zero."""
    t = np.arange(n) / SR
    a = max(attack, 1e-4)
    env = np.where(t < a, np.sin(0.5 * np.pi * np.minimum(t / a, 1.0)),
                   sustain + (1.0 - sustain) * np.exp(-(t - a) / max(decay, 1e-4)))
    if release > 0:
        tau = release / 6.9
        env = env * np.where(t < gate, 1.0, np.exp(-(t - gate) / tau))
    return fade_edges(env, 0.0, 0.003)


def fade_edges(x, fade_in, fade_out):
    """Raised-cosine fades of the given lengths (s) at both ends, so a sound starts and ends at 0."""
    x = np.array(x, dtype=float, copy=True)
    for length, at_start in ((fade_in, True), (fade_out, False)):
        k = min(int(length * SR), len(x))
        if k <= 0:
            continue
        ramp = 0.5 - 0.5 * np.cos(np.pi * (np.arange(k) + 1) / (k + 1))
        if x.ndim == 2:
            ramp = ramp[:, None]
        if at_start:
            x[:k] *= ramp
        else:
            x[-k:] *= ramp[::-1]
    return x


def exp_decay(n, tau):
    return np.exp(-np.arange(n) / SR / tau)


# ---------------------------------------------------------------- oscillators

def phase_of(freq, n):
    """Running phase (radians) of an oscillator whose frequency (Hz) is a scalar or an n-array."""
    f = np.broadcast_to(np.asarray(freq, dtype=float), (n,))
    return 2.0 * np.pi * (np.cumsum(f) - f[0]) / SR


def vibrato(n, f0, rate=5.0, depth=0.004, delay=0.25):
    """Frequency curve of f0 with a vibrato that fades in after delay (s); depth is relative."""
    t = np.arange(n) / SR
    fade = np.clip((t - delay) / 0.3, 0.0, 1.0)
    return f0 * (1.0 + depth * fade * np.sin(2 * np.pi * rate * t))


def additive(n, freq, partials, phase0=None):
    """Sum of sine partials (ratio, amplitude, decay time constant in s or None) over a
    fundamental (scalar or n-array). Partials above 18 kHz are left out."""
    ph = phase_of(freq, n)
    fmax = float(np.max(freq))
    t = np.arange(n) / SR
    out = np.zeros(n)
    for i, (ratio, amp, tau) in enumerate(partials):
        if ratio * fmax > 18000:
            continue
        p = 0.0 if phase0 is None else phase0[i % len(phase0)]
        s = amp * np.sin(ratio * ph + p)
        if tau is not None:
            s *= np.exp(-t / tau)
        out += s
    return out


def fm(n, freq, ratio, index):
    """Two-operator FM: a carrier at freq modulated by a sine at ratio*freq with an index that is
    a scalar or an n-array (radians)."""
    ph = phase_of(freq, n)
    return np.sin(ph + index * np.sin(ratio * ph))


def lowpass_gain(f, cutoff, order=2):
    """Magnitude of a Butterworth-like low-pass at frequency f (arrays allowed)."""
    return 1.0 / np.sqrt(1.0 + (f / cutoff) ** (2 * order))


def filtered_wave(n, freq, cutoff, shape='saw', order=2, resonance=0.0, detune_phase=0.0):
    """A band-limited saw ('saw'), square ('square') or mellow mix ('mellow') built from harmonics,
    passed through a low-pass whose cutoff (Hz) may move over time (scalar or n-array). resonance
    adds a gentle bump at the cutoff."""
    f0 = np.broadcast_to(np.asarray(freq, dtype=float), (n,))
    fc = np.broadcast_to(np.asarray(cutoff, dtype=float), (n,))
    ph = phase_of(f0, n) + detune_phase
    top = float(np.max(f0))
    kmax = int(min(18000.0 / top, 4.0 * float(np.max(fc)) / float(np.min(f0)) + 2))
    out = np.zeros(n)
    for k in range(1, max(kmax, 1) + 1):
        if shape == 'square' and k % 2 == 0:
            continue
        amp = 1.0 / k
        if shape == 'mellow' and k % 2 == 0:
            amp *= 0.45
        g = lowpass_gain(k * f0, fc, order)
        if resonance:
            g = g * (1.0 + resonance * np.exp(-((k * f0 / fc - 1.0) ** 2) / 0.08))
        out += amp * g * np.sin(k * ph)
    return out


def noise(n, *seed):
    return rng('noise', *seed).standard_normal(n)


# ---------------------------------------------------------------- filters

def _mask_filter(x, mask_of_freq, pad):
    """Zero-phase filtering of x by a magnitude mask (function of frequency in Hz); pad adds that
    many zeros so the filter's ring does not wrap (0 for circular filtering of a loop)."""
    n = x.shape[0]
    m = n + pad
    spec = np.fft.rfft(x, m, axis=0)
    f = np.fft.rfftfreq(m, 1.0 / SR)
    mask = mask_of_freq(f)
    if x.ndim == 2:
        mask = mask[:, None]
    return np.fft.irfft(spec * mask, m, axis=0)[:n]


def bandpass(x, lo=None, hi=None, order=2, circular=False):
    """Butterworth-shaped high-pass at lo and/or low-pass at hi (Hz), zero phase."""
    def mask(f):
        g = np.ones_like(f)
        if lo:
            with np.errstate(divide='ignore'):
                g *= np.where(f > 0, 1.0 / np.sqrt(1.0 + (lo / np.maximum(f, 1e-9)) ** (2 * order)), 0.0)
        if hi:
            g *= lowpass_gain(f, hi, order)
        return g
    return _mask_filter(x, mask, 0 if circular else min(x.shape[0], 8192))


def tilt(x, low_db=0.0, high_db=0.0, corner_lo=200.0, corner_hi=5000.0, circular=False):
    """Gentle low and high shelves (dB) around the given corners."""
    def mask(f):
        lo = db(low_db) + (1.0 - db(low_db)) / (1.0 + (corner_lo / np.maximum(f, 1e-9)) ** 2)
        hi = 1.0 + (db(high_db) - 1.0) / (1.0 + (corner_hi / np.maximum(f, 1e-9)) ** 2)
        return lo * hi
    return _mask_filter(x, mask, 0 if circular else min(x.shape[0], 8192))


# ---------------------------------------------------------------- instruments
# Each takes a frequency (Hz), a held duration (s) and a velocity (0..1) and returns a mono or
# stereo array that already includes its release tail.

def epiano(f, dur, vel):
    """Soft electric piano: FM tine with a decaying index, bell-like attack, long fade."""
    rel = 0.35
    n = int((dur + rel) * SR)
    t = np.arange(n) / SR
    index = (0.35 + 1.1 * vel) * np.exp(-t / 0.35) + 0.12
    body = fm(n, f, 1.0, index)
    tine = 0.12 * vel * fm(n, f, 7.0, 0.6 * np.exp(-t / 0.05)) * np.exp(-t / 0.08)
    env = adsr(n, 0.003, 1.6, 0.0, rel, dur)
    return (body + tine) * env * (0.4 + 0.6 * vel)


def marimba(f, dur, vel):
    """Wooden mallet: a fundamental with the bar's high partials decaying fast."""
    rel = 0.12
    n = int((min(dur, 1.2) + rel) * SR)
    partials = [(1.0, 1.0, 0.55), (2.0, 0.10, 0.3), (3.93, 0.30 * vel, 0.07), (9.2, 0.08 * vel, 0.02)]
    env = adsr(n, 0.002, 10.0, 1.0, rel, min(dur, 1.2))
    return additive(n, f, partials) * env * (0.45 + 0.55 * vel)


def flute(f, dur, vel):
    """Breathy soft flute with a delayed vibrato."""
    rel = 0.18
    n = int((dur + rel) * SR)
    fr = vibrato(n, f, 5.2, 0.005, 0.22)
    tone = additive(n, fr, [(1, 1.0, None), (2, 0.22, None), (3, 0.07, None), (4, 0.02, None)])
    breath = bandpass(noise(n, 'flute', round(f), n), f * 1.5, f * 3.5, 2) * 0.06
    env = adsr(n, 0.06, 0.2, 0.85, rel, dur)
    return (tone + breath) * env * (0.5 + 0.5 * vel)


def glock(f, dur, vel):
    """Glockenspiel: FM bell with an inharmonic ring."""
    rel = 0.6
    n = int((min(dur, 0.6) + rel) * SR)
    t = np.arange(n) / SR
    tone = fm(n, f, 3.5, 1.4 * vel * np.exp(-t / 0.12)) * np.exp(-t / 0.9)
    tone += 0.25 * np.sin(phase_of(f * 2.76, n)) * np.exp(-t / 0.25)
    return fade_edges(tone * (0.5 + 0.5 * vel), 0.0015, 0.01)


def round_bass(f, dur, vel):
    """Warm fingered bass: a few harmonics, the upper ones fading like a plucked string."""
    rel = 0.08
    n = int((dur + rel) * SR)
    partials = [(1, 1.0, None), (2, 0.45, 0.4), (3, 0.18, 0.25), (4, 0.07, 0.15), (5, 0.03, 0.1)]
    env = adsr(n, 0.006, 0.35, 0.65, rel, dur)
    return additive(n, f, partials) * env * (0.5 + 0.5 * vel)


def pad(f, dur, vel, attack=0.45, cutoff=1400.0):
    """Slow string pad: two slightly detuned filtered saws spread left and right."""
    rel = 0.7
    n = int((dur + rel) * SR)
    r = rng('pad', round(f * 100), n)
    env = adsr(n, attack, 1.0, 0.9, rel, dur)
    left = filtered_wave(n, f * 2 ** (6 / 1200), cutoff, 'saw', 2, 0, r.uniform(0, 6.28))
    right = filtered_wave(n, f * 2 ** (-6 / 1200), cutoff, 'saw', 2, 0, r.uniform(0, 6.28))
    mid = filtered_wave(n, f, cutoff * 0.8, 'saw', 2, 0, r.uniform(0, 6.28))
    out = np.stack([left + 0.6 * mid, right + 0.6 * mid], axis=1) * 0.5
    return out * env[:, None] * (0.5 + 0.5 * vel)


def synth_bass(f, dur, vel):
    """Driving synth bass: a saw through a low-pass that snaps open at each note, plus a sub sine."""
    rel = 0.05
    n = int((dur + rel) * SR)
    t = np.arange(n) / SR
    cutoff = 260.0 + (900.0 + 1300.0 * vel) * np.exp(-t / 0.07)
    saw = filtered_wave(n, f, cutoff, 'saw', 2, 0.6)
    sub = np.sin(phase_of(f, n))
    env = adsr(n, 0.004, 0.25, 0.75, rel, dur)
    return (0.8 * saw + 0.55 * sub) * env * (0.5 + 0.5 * vel)


def arp_pluck(f, dur, vel):
    """Short rounded pluck for the arpeggios: a square's odd harmonics, filter closing fast."""
    rel = 0.12
    n = int((dur + rel) * SR)
    t = np.arange(n) / SR
    cutoff = 700.0 + 2600.0 * vel * np.exp(-t / 0.06)
    tone = filtered_wave(n, f, cutoff, 'square', 2)
    env = adsr(n, 0.002, 0.16, 0.0, rel, dur)
    return tone * env


def lead(f, dur, vel):
    """Singing lead: mellow saw/square mix, soft filter, a vibrato once the note has settled."""
    rel = 0.12
    n = int((dur + rel) * SR)
    t = np.arange(n) / SR
    fr = vibrato(n, f, 5.5, 0.006, 0.2)
    cutoff = 1700.0 + 1500.0 * vel * np.exp(-t / 0.12)
    tone = filtered_wave(n, fr, cutoff, 'mellow', 2)
    env = adsr(n, 0.012, 0.25, 0.8, rel, dur)
    return tone * env * (0.5 + 0.5 * vel)


def brass(f, dur, vel):
    """Soft brass for fanfares: harmonics that brighten as the note swells in."""
    rel = 0.15
    n = int((dur + rel) * SR)
    t = np.arange(n) / SR
    swell = 1.0 - np.exp(-t / 0.04)
    cutoff = 500.0 + 2200.0 * vel * swell * (0.75 + 0.25 * np.exp(-t / 0.3))
    fr = vibrato(n, f, 5.0, 0.004, 0.25)
    tone = filtered_wave(n, fr, cutoff, 'saw', 2)
    env = adsr(n, 0.02, 0.3, 0.85, rel, dur)
    return tone * env * (0.5 + 0.5 * vel)


# ---------------------------------------------------------------- drums

def kick(vel=1.0, tone=1.0, length=0.42):
    n = int(length * SR)
    t = np.arange(n) / SR
    freq = 48.0 * tone + 110.0 * tone * np.exp(-t / 0.035)
    body = np.sin(phase_of(freq, n)) * np.exp(-t / 0.16)
    click = bandpass(noise(n, 'kick'), 1500, 6000, 2) * np.exp(-t / 0.004) * 0.12
    return fade_edges((body + click) * vel, 0.0008, 0.02)


def snare(vel=1.0, length=0.3, brush=False):
    n = int(length * SR)
    t = np.arange(n) / SR
    body = (np.sin(phase_of(185.0, n)) + 0.5 * np.sin(phase_of(330.0, n))) * np.exp(-t / 0.045)
    lo, hi = (2500, 9000) if brush else (1200, 9000)
    hiss = bandpass(noise(n, 'snare', brush), lo, hi, 2)
    hiss = hiss / np.max(np.abs(hiss)) * np.exp(-t / (0.09 if brush else 0.11))
    mix = (0.25 if brush else 0.6) * body + (0.9 if brush else 1.0) * hiss
    return fade_edges(mix * vel, 0.004 if brush else 0.0008, 0.02)


def clap(vel=1.0, length=0.3):
    n = int(length * SR)
    t = np.arange(n) / SR
    hiss = bandpass(noise(n, 'clap'), 900, 5000, 2)
    hiss /= np.max(np.abs(hiss))
    env = np.zeros(n)
    for d in (0.0, 0.011, 0.023):
        env += np.where(t >= d, np.exp(-(t - d) / 0.006), 0.0)
    env += 0.6 * np.where(t >= 0.03, np.exp(-(t - 0.03) / 0.09), 0.0)
    return fade_edges(hiss * env * vel * 0.8, 0.0005, 0.02)


def hat(vel=1.0, open_=False):
    length = 0.35 if open_ else 0.08
    n = int(length * SR)
    t = np.arange(n) / SR
    hiss = bandpass(noise(n, 'hat', open_), 7000, 15000, 2)
    hiss /= np.max(np.abs(hiss))
    env = np.exp(-t / (0.11 if open_ else 0.018))
    return fade_edges(hiss * env * vel, 0.0005, 0.01)


def shaker(vel=1.0):
    n = int(0.09 * SR)
    t = np.arange(n) / SR
    hiss = bandpass(noise(n, 'shaker'), 4000, 11000, 2)
    hiss /= np.max(np.abs(hiss))
    env = (1.0 - np.exp(-t / 0.008)) * np.exp(-t / 0.03)
    return fade_edges(hiss * env * vel, 0.001, 0.01)


def rim(vel=1.0):
    n = int(0.06 * SR)
    t = np.arange(n) / SR
    tone = (np.sin(phase_of(1650.0, n)) + 0.6 * np.sin(phase_of(820.0, n))) * np.exp(-t / 0.012)
    tick = bandpass(noise(n, 'rim'), 2000, 8000, 2) * np.exp(-t / 0.003) * 0.2
    return fade_edges((tone + tick) * vel, 0.0005, 0.005)


def tom(vel=1.0, pitch=120.0):
    n = int(0.35 * SR)
    t = np.arange(n) / SR
    freq = pitch + pitch * 0.6 * np.exp(-t / 0.04)
    body = np.sin(phase_of(freq, n)) * np.exp(-t / 0.14)
    hiss = bandpass(noise(n, 'tom', pitch), 400, 3000, 2) * np.exp(-t / 0.02) * 0.06
    return fade_edges((body + hiss) * vel, 0.001, 0.02)


def crash(vel=1.0, length=1.8):
    n = int(length * SR)
    t = np.arange(n) / SR
    hiss = bandpass(noise(n, 'crash'), 3500, 12000, 2)
    hiss /= np.max(np.abs(hiss))
    env = np.exp(-t / 0.5) * (1.0 - np.exp(-t / 0.003))
    return fade_edges(hiss * env * vel, 0.001, 0.2)


# ---------------------------------------------------------------- stereo, effects, mastering

def pan(x, position):
    """Equal-power pan of a mono signal; position -1 (left) .. +1 (right). Stereo input is
    balanced with the same law."""
    theta = (position + 1.0) * np.pi / 4.0
    if x.ndim == 1:
        return np.stack([x * np.cos(theta), x * np.sin(theta)], axis=1)
    # Balance: the far side is turned down, the near side stays at unity.
    gl = min(1.0, np.cos(theta) * np.sqrt(2.0))
    gr = min(1.0, np.sin(theta) * np.sqrt(2.0))
    return np.stack([x[:, 0] * gl, x[:, 1] * gr], axis=1)


def add_wrapped(buf, start, sig):
    """Adds sig into the loop buffer at sample start, wrapping whatever runs past the end (or
    starts before 0) round to the other end."""
    n = buf.shape[0]
    start %= n
    pos = 0
    while pos < sig.shape[0]:
        at = (start + pos) % n
        k = min(n - at, sig.shape[0] - pos)
        buf[at:at + k] += sig[pos:pos + k]
        pos += k


def reverb_ir(seconds, rt60, seed, damping=0.5, predelay=0.012, stereo=True):
    """A room's impulse response: early taps then decorrelated noise decaying by 60 dB in rt60
    (s); highs die away faster (damping 0..1). Scaled to unit energy per channel."""
    n = int(seconds * SR)
    t = np.arange(n) / SR
    r = rng('reverb', seed)
    chans = []
    for c in range(2 if stereo else 1):
        w = r.standard_normal(n)
        low = bandpass(w, None, 2500, 1)
        high = w - low
        k = 6.9 / rt60
        tail = low * np.exp(-k * t) + high * np.exp(-k * t / max(1.0 - damping, 0.05))
        tail *= np.clip((t - predelay) / 0.02, 0.0, 1.0)
        for _ in range(6):
            d = int(r.uniform(0.004, predelay + 0.03) * SR)
            tail[d] += r.uniform(-1.5, 1.5) * 8.0
        tail = fade_edges(tail, 0.0, 0.05)
        chans.append(tail / np.sqrt(np.sum(tail ** 2)))
    return np.stack(chans, axis=1)


def convolve(x, ir, circular):
    """Convolution of a mono signal with a (mono or stereo) impulse response; circular keeps the
    length of x and wraps the tail round to the start (for loops), otherwise the tail is
    appended."""
    n = x.shape[0]
    m = n if circular else n + ir.shape[0]
    spec = np.fft.rfft(x, m)
    if circular and ir.shape[0] > n:
        raise ValueError('impulse response longer than the loop')
    irs = np.fft.rfft(ir, m, axis=0)
    return np.fft.irfft(spec[:, None] * irs, m, axis=0)


def echo(x, delay, feedback, repeats=6, cutoff=3000.0, pingpong=True, circular=True):
    """Multi-tap echo of a mono send: each repeat delay (s) later, feedback times quieter and a
    little duller, alternating left and right. Returns stereo."""
    n = x.shape[0]
    m = n if circular else n + int(delay * SR * (repeats + 1))
    spec = np.fft.rfft(x, m)
    f = np.fft.rfftfreq(m, 1.0 / SR)
    dull = lowpass_gain(f, cutoff, 1)
    d = int(round(delay * SR))
    out = np.zeros((m // 2 + 1, 2), dtype=complex)
    for k in range(1, repeats + 1):
        shift = np.exp(-2j * np.pi * f * (k * d) / SR)
        tap = spec * shift * (feedback ** k) * dull ** k
        side = (k % 2) if pingpong else 0
        if pingpong:
            out[:, side] += tap
        else:
            out[:, 0] += tap
            out[:, 1] += tap
    return np.fft.irfft(out, m, axis=0)


def _sliding_min_circular(a, half):
    """min(a[i-half .. i+half]) for every i, indices wrapping round."""
    w = 2 * half + 1
    n = a.shape[0]
    ext = np.concatenate([a[n - half:], a, a[:half]])
    m = ext.shape[0]
    blocks = -(-m // w)
    padded = np.full(blocks * w, np.inf)
    padded[:m] = ext
    b = padded.reshape(blocks, w)
    prefix = np.minimum.accumulate(b, axis=1).ravel()
    suffix = np.minimum.accumulate(b[:, ::-1], axis=1)[:, ::-1].ravel()
    j = np.arange(n)
    return np.minimum(suffix[j], prefix[j + w - 1])


def _sliding_mean_circular(a, half):
    n = a.shape[0]
    ext = np.concatenate([a[n - half:], a, a[:half]])
    c = np.concatenate([[0.0], np.cumsum(ext)])
    w = 2 * half + 1
    return (c[w:w + n] - c[:n]) / w


def limit(x, ceiling, hold=0.015, circular=True):
    """Look-ahead peak limiter: the gain never lets a sample exceed ceiling and moves smoothly over
    about 2*hold seconds around each peak. With circular the gain curve wraps like the loop."""
    peak = np.max(np.abs(x), axis=1) if x.ndim == 2 else np.abs(x)
    need = np.minimum(1.0, ceiling / np.maximum(peak, 1e-12))
    half = int(hold * SR)
    if not circular:
        pad_n = half + 1
        need = np.concatenate([np.ones(pad_n), need, np.ones(pad_n)])
    gain = _sliding_mean_circular(_sliding_min_circular(need, half), half)
    if not circular:
        gain = gain[pad_n:-pad_n]
    return x * (gain[:, None] if x.ndim == 2 else gain)


def master(x, peak_dbfs, drive_db=2.0, circular=True):
    """Brings the loudest peaks drive_db over the ceiling, limits them back to it, then sets the
    final peak to exactly peak_dbfs."""
    ceiling = db(peak_dbfs)
    x = x * (ceiling * db(drive_db) / np.max(np.abs(x)))
    x = limit(x, ceiling, circular=circular)
    return x * (ceiling / np.max(np.abs(x)))


# ---------------------------------------------------------------- files

def to_int16(x):
    return np.clip(np.round(x * 32767.0), -32767, 32767).astype('<i2')


def write_wav(path, x):
    """16-bit PCM WAV at 44.1 kHz, mono or stereo."""
    data = to_int16(x)
    with wave.open(path, 'wb') as w:
        w.setnchannels(1 if data.ndim == 1 else 2)
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(data.tobytes())


def write_ogg(path, x, quality, comments):
    """Ogg Vorbis via oggenc with a fixed stream serial, so the same samples give the same file."""
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, 'track.wav')
        write_wav(wav, x)
        cmd = ['oggenc', '-Q', '-q', str(quality), '-s', '1234', '-o', path]
        for c in comments:
            cmd += ['-c', c]
        subprocess.run(cmd + [wav], check=True)


def repo_data_dir():
    """data/ of the repository that holds this script."""
    return os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), 'data')
