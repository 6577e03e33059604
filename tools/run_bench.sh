#!/usr/bin/env bash
# Builds the benchmarks (Release, build-bench/) and runs them on a copy of data/, then
# prints every figure as a time and as a ratio to copying one 640x480x32 frame, beside
# its budget. Extra arguments go to the benchmark binary (e.g. --benchmark_filter=frame).
# BENCH_REPETITIONS (default 5) sets how many runs each median is taken from.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"
repetitions="${BENCH_REPETITIONS:-5}"

"$root/tools/setup.sh" --bench
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPLIMO_BENCH=ON -DPLIMO_TESTS=OFF >/dev/null
cmake --build "$build" --target plimo_bench -j2 >/dev/null

# The game reads its files from the working directory; a copy keeps data/ untouched.
work="$build/bench-data"
rm -rf "$work"
mkdir -p "$work"
cp "$root"/data/* "$work/"

json="$build/bench.json"
(cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$build/bench/plimo_bench" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_out="$json" --benchmark_out_format=json "$@")

/usr/bin/python3 - "$json" <<'PY'
import json, sys

# Budgets as multiples of the frame copy; start-up in milliseconds.
budgets = {
    "frame/PlayingHeavy": 15.0,
    "logic/PlayingStep40x3000": 0.5,
    # Frames as the game draws them: an unchanged one costs a small share of a copy,
    # one that moved only a cursor or the highlight well under one.
    "frugal/MainMenuUnchanged": 0.05,
    "frugal/LanguagePickUnchanged": 0.2,
    "frugal/PlayingTypicalUnchanged": 0.3,
    "frugal/MainMenuCursorMoved": 0.5,
    "frugal/LanguagePickArrowsMoved": 0.7,
    "frugal/PlayingTypicalPulse": 1.0,
    # 3000 particles moving change the whole screen: recording them first costs about
    # half a plain frame more.
    "frugal/PlayingHeavyPulse": 30.0,
}
default_frame_budget = 3.0
startup_budget_ms = 100.0

data = json.load(open(sys.argv[1]))
scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
medians = {}
for b in data["benchmarks"]:
    name = b.get("run_name", b["name"])
    if b.get("error_occurred"):
        print(f"{name}: {b.get('error_message', 'failed')}", file=sys.stderr)
        continue
    if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
        continue
    medians[name] = b["cpu_time"] * scale[b["time_unit"]]

floor = medians.get("floor/memcpy_frame")
if not floor:
    sys.exit("no frame copy figure: run without a filter that drops floor/memcpy_frame")
print()
print(f"Medians of CPU time; ratio = time / frame copy ({floor:.1f} us).")
print(f"{'figure':38} {'time':>12} {'ratio':>8} {'budget':>10}  verdict")
for name, us in medians.items():
    ratio = us / floor
    if name.startswith("startup/"):
        budget, ok = f"<{startup_budget_ms:.0f} ms", us / 1000 < startup_budget_ms
    elif name.startswith("floor/"):
        budget, ok = "", None
    else:
        limit = budgets.get(name, default_frame_budget)
        budget, ok = f"<={limit:g}x", ratio <= limit
    time = f"{us / 1000:.2f} ms" if us >= 1000 else f"{us:.1f} us"
    verdict = "" if ok is None else ("ok" if ok else "OVER")
    print(f"{name:38} {time:>12} {ratio:>7.2f}x {budget:>10}  {verdict}")
blit = medians.get("floor/blit_background")
if blit:
    print(f"Every frame but the GameOver burst starts with SDL's background blit, "
          f"itself {blit / floor:.2f}x the frame copy here.")
PY
