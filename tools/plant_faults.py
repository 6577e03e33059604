#!/usr/bin/env python3
"""Plants single-line faults one at a time in a scratch copy and tells which the tests catch.

Usage: tools/plant_faults.py PLANTS [--scratch DIR] [--only ID,ID] [--timeout S] [--jobs N]

PLANTS has one plant a line, four fields separated by tabs:
    id  file (under the checkout)  text as it stands  text that replaces it
The text as it stands must occur exactly once in the file (a plant that no longer fits
the code is reported as stale, not as survived); "\\n" in a field stands for a line
break and "\\t" for a tab (the text may reach over a few lines, the plant still changes
one line of code), and an empty replacement drops the text. Blank lines and lines starting with # are skipped.

The checkout (its tracked and new files) is copied to the scratch folder once, and the
unplanted copy must pass; each plant is then made in that copy alone, plimo_tests (and
the content checker it runs) is rebuilt in one build folder kept between plants, and
ctest runs without the end-to-end walks (E2E.*) and the data files' check, in two
turns: first the tests of behaviour, then, for a plant they miss, the scenarios (frame
checksums, whole sessions, long runs, the real process). Each turn stops at its first
failing test. A plant that does not compile is reported as such and left out of the rate.
Nothing in the checkout is ever changed.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def readPlants(path):
    plants = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) == 3:
                fields.append("")
            if len(fields) != 4:
                sys.exit(f"plant_faults: {path}:{number}: needs 4 tab-separated fields, has {len(fields)}")
            plants.append([field.replace("\\n", "\n").replace("\\t", "\t") for field in fields])
    return plants


def copyTree(scratch):
    tree = os.path.join(scratch, "tree")
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT,
                           check=True, capture_output=True, text=True).stdout.split("\n")
    for rel in filter(None, files):
        source = os.path.join(ROOT, rel)
        if not os.path.isfile(source):
            continue
        target = os.path.join(tree, rel)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if not os.path.exists(target) or open(source, "rb").read() != open(target, "rb").read():
            shutil.copy2(source, target)
    return tree


def run(command, cwd, timeout):
    try:
        done = subprocess.run(command, cwd=cwd, capture_output=True, text=True, timeout=timeout)
        return done.returncode, done.stdout + done.stderr
    except subprocess.TimeoutExpired as e:
        return None, (e.stdout or b"").decode(errors="replace") if isinstance(e.stdout, bytes) else (e.stdout or "")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("plants")
    parser.add_argument("--scratch", default="/tmp/plimo-plants")
    parser.add_argument("--only", default="")
    parser.add_argument("--timeout", type=int, default=900, help="seconds for one ctest run")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--skip-baseline", action="store_true", help="do not check the unplanted copy first")
    args = parser.parse_args()

    plants = readPlants(args.plants)
    if args.only:
        wanted = set(args.only.split(","))
        plants = [p for p in plants if p[0] in wanted]
    tree = copyTree(args.scratch)
    build = os.path.join(args.scratch, "build")
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        code, out = run(["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=None",
                         "-DCMAKE_CXX_FLAGS=-O1"], ROOT, 600)
        if code != 0:
            sys.exit("plant_faults: cannot configure the scratch build:\n" + out)
    env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")

    def buildTests():
        return run(["cmake", "--build", build, "--target", "plimo_tests", "plimo-check-content", "--", f"-j{args.jobs}"], ROOT, 1800)

    code, out = buildTests()
    if code != 0:
        sys.exit("plant_faults: the unplanted copy does not build:\n" + out[-3000:])

    # The scenarios: frame checksums, whole sessions, long runs and the real process.
    scenarios = "^(FrameChecksum|FrameFrugal|LongRun|Process|Scripts)"
    skipped = "^(E2E|DataFiles)\\."

    def ctest(*selection):
        """Runs the selected tests; returns the failing tests' names ([] when all pass)."""
        log = os.path.join(build, "Testing", "Temporary", "LastTestsFailed.log")
        if os.path.exists(log):
            os.remove(log)
        try:
            code = subprocess.run(["ctest", *selection, "-j", str(args.jobs), "--stop-on-failure",
                                   "--timeout", "300"], cwd=build, env=env, capture_output=True,
                                  text=True, timeout=args.timeout).returncode
        except subprocess.TimeoutExpired:
            return ["(ctest ran past its timeout)"]
        if code == 0:
            return []
        names = [entry.split(":", 1)[-1] for entry in open(log).read().split()] if os.path.exists(log) else []
        return names or ["(ctest failed)"]

    def verdictOf():
        failed = ctest("-E", f"{skipped}|{scenarios}")
        if failed:
            return "caught", "by " + ", ".join(failed[:3])
        failed = ctest("-E", skipped, "-R", scenarios)
        if failed:
            return "caught", "only by the scenarios: " + ", ".join(failed[:3])
        return "survived", ""

    if not args.skip_baseline:
        verdict, detail = verdictOf()
        if verdict != "survived":
            sys.exit(f"plant_faults: the unplanted copy fails, {detail}")

    results = {"caught": [], "survived": [], "stale": [], "no build": []}
    for ident, rel, old, new in plants:
        path = os.path.join(tree, rel)
        pristine = open(os.path.join(ROOT, rel), encoding="utf-8").read()
        if pristine.count(old) != 1:
            print(f"{ident}: stale ({pristine.count(old)} matches of {old!r} in {rel})", flush=True)
            results["stale"].append(ident)
            continue
        started = time.time()
        with open(path, "w", encoding="utf-8") as f:
            f.write(pristine.replace(old, new))
        try:
            code, out = buildTests()
            if code != 0:
                verdict, detail = "no build", out.strip().split("\n")[-1][:120]
            else:
                verdict, detail = verdictOf()
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(pristine)
        results[verdict].append(ident)
        print(f"{ident}: {verdict} ({time.time() - started:.0f} s) {detail}", flush=True)

    counted = len(results["caught"]) + len(results["survived"])
    print(f"caught {len(results['caught'])} of {counted}"
          + (f" ({100 * len(results['caught']) // counted}%)" if counted else "")
          + f"; survived: {' '.join(results['survived']) or 'none'}"
          + (f"; stale: {' '.join(results['stale'])}" if results["stale"] else "")
          + (f"; no build: {' '.join(results['no build'])}" if results["no build"] else ""))


if __name__ == "__main__":
    main()
