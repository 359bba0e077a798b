"""Checks the mixer's renders with an outside tool: sox measures pitch, balance
and the LED filter's response in the WAV files that mixer_wav writes."""
import math
import os
import shutil
import subprocess
import sys
import tempfile

PAL_AUDIO_CLOCK = 3546894.6


def sox_stat(path, channel=1, freq=False):
    args = ["sox", path, "-n", "remix", str(channel), "stat"] + (["-freq"] if freq else [])
    return subprocess.run(args, capture_output=True, text=True, check=True).stderr


def stat_value(text, name):
    for line in text.splitlines():
        if line.startswith(name):
            return float(line.split(":")[1])
    raise KeyError(name)


def mean_power(path, channel):
    """sox's power spectrum per 4096-frame window, averaged per bin."""
    sums = {}
    for line in sox_stat(path, channel, freq=True).splitlines():
        parts = line.split()
        if len(parts) != 2:
            continue
        try:
            f, p = float(parts[0]), float(parts[1])
        except ValueError:
            continue
        sums.setdefault(f, []).append(p)
    return {f: sum(ps) / len(ps) for f, ps in sums.items()}


def peak(power):
    return max((p, f) for f, p in power.items() if f > 0)[1]


def main():
    if shutil.which("sox") is None:
        print("sox is not installed: skipped")
        return 0
    tool = os.path.join(os.environ["JK_BIN_DIR"], "mixer_wav")
    failures = []

    def check(what, measured, expected, tolerance):
        ok = abs(measured - expected) <= tolerance
        print(f"{'ok  ' if ok else 'FAIL'} {what}: {measured:.4f} (expected {expected:.4f})")
        if not ok:
            failures.append(what)

    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([tool, folder], check=True, stdout=subprocess.DEVNULL)
        wav = lambda name: os.path.join(folder, name + ".wav")

        # Pitch: sox's rough frequency of the sine, the spectrum's peak bin of
        # the squares (bins are rate / 4096 wide).
        check("sine 428 rough frequency", stat_value(sox_stat(wav("sine428_interpolated")),
                                                     "Rough   frequency"),
              PAL_AUDIO_CLOCK / 428 / 32, 1.0)
        for name, period, rate in [("square428", 428, 44100),
                                   ("square428_interpolated", 428, 44100),
                                   ("square428_swapped", 428, 44100),
                                   ("square856_31500", 856, 31500)]:
            check(name + " spectral peak", peak(mean_power(wav(name), 1)),
                  PAL_AUDIO_CLOCK / period / 32, rate / 4096)

        # Balance: separation 64 pans voice 0 to 64, rows 190 and 63.
        left = stat_value(sox_stat(wav("separation64"), 1), "RMS     amplitude")
        right = stat_value(sox_stat(wav("separation64"), 2), "RMS     amplitude")
        check("separation 64 left/right", left / right, 190 / 63, 0.01 * 190 / 63)

        # The LED filter: a four-tap box passes a quarter of white noise's
        # power, and its response is |cos(pi f/fs) cos(2 pi f/fs)|.
        for channel in (1, 2):
            plain = stat_value(sox_stat(wav("noise"), channel), "RMS     amplitude")
            led = stat_value(sox_stat(wav("noise_led"), channel), "RMS     amplitude")
            check(f"LED filter RMS ratio, channel {channel}", led / plain, 0.5, 0.02)
        plain, led = mean_power(wav("noise"), 1), mean_power(wav("noise_led"), 1)
        for k in (100, 300, 512, 800, 1000, 1024, 1050, 1300, 1700):
            f = sorted(plain)[k]
            response = abs(math.cos(math.pi * f / 44100) * math.cos(2 * math.pi * f / 44100))
            check(f"LED filter response at {f:.0f} Hz", math.sqrt(led[f] / plain[f]), response,
                  0.03)

    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
