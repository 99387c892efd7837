#!/usr/bin/env python3
"""Times the jobs of bench/cases.txt against the floor walker on one backup.

Usage: bench.py WALKER FILE CASES [--archive BBB] [--runs N] [--no-targets] [--only NAME,...]
       bench.py --lists-cases CASES [--only NAME,...]   (exit 0 when CASES has a case to run)

Each case runs N times, each run right after a run of the walker, so that both see the same
machine load and a warm page cache. For every case the table shows the median wall time, its
ratio to the walker's median, the median CPU share (user and system seconds of the job and the
processes it waited for, per wall second: 2.0 is two cores busy throughout), the peak resident memory of the job (its process and the
processes it waited for) and that peak as a multiple of the file size. A case whose command
fails, or (unless --no-targets) misses a target of its line, makes the exit status 1.

A time target written "X@NAME" is X times the median of the case NAME (an earlier line)
instead of the walker's. ARCHIVE in a command stands for the --archive file.
"""

import argparse
import os
import re
import shlex
import statistics
import subprocess
import sys
import tempfile
import time


def parse_cases(path):
    """Lines 'name | time target | memory target | command'; '-' for no target."""
    cases = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            parts = [p.strip() for p in line.split("|", 3)]
            if len(parts) != 4 or not parts[0] or not parts[3]:
                sys.exit(f"{path}:{number}: expected 'name | time x | memory x | command'")
            name, time_target, memory_target, command = parts

            def target(text):
                if text in ("", "-"):
                    return None
                try:
                    return float(text.rstrip("x"))
                except ValueError:
                    sys.exit(f"{path}:{number}: '{text}' is no target")

            base = None
            if "@" in time_target:
                time_target, base = time_target.split("@", 1)
                if not any(c[0] == base for c in cases):
                    sys.exit(f"{path}:{number}: no earlier case named '{base}'")
            cases.append((name, target(time_target), target(memory_target), command, base))
    return cases


GNU_TIME = "/usr/bin/time"


def output_bytes(folder):
    """Bytes of the files a case left in its scratch folder (what one run wrote)."""
    total = 0
    for root, _, files in os.walk(folder):
        for name in files:
            total += os.path.getsize(os.path.join(root, name))
    return total


def run_once(command):
    """Wall seconds, peak RSS in bytes, exit status and CPU seconds of one run of a shell command.

    The peak comes from GNU time when it is there: a child forked from this Python process
    would count Python's own pages until its exec.
    """
    with tempfile.NamedTemporaryFile("r", prefix="orrelin-bench-rss-") as report:
        argv = ["bash", "-c", command]
        if os.access(GNU_TIME, os.X_OK):
            argv = [GNU_TIME, "-f", "%M", "-o", report.name] + argv
        start = time.perf_counter()
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL)
        _, status, usage = os.wait4(process.pid, 0)
        seconds = time.perf_counter() - start
        lines = report.read().split()
    # Linux reports ru_maxrss in KiB, covering the process and every process it waited for.
    peak_kib = int(lines[-1]) if lines and lines[-1].isdigit() else usage.ru_maxrss
    cpu = usage.ru_utime + usage.ru_stime
    return seconds, peak_kib * 1024, os.waitstatus_to_exitcode(status), cpu


def selected(cases, only):
    if not only:
        return cases
    wanted = set(only.split(","))
    return [c for c in cases if c[0] in wanted]


def main():
    if len(sys.argv) > 2 and sys.argv[1] == "--lists-cases":
        lister = argparse.ArgumentParser()
        lister.add_argument("--lists-cases", dest="cases")
        lister.add_argument("--only", default="")
        known, _ = lister.parse_known_args()
        return 0 if selected(parse_cases(known.cases), known.only) else 1
    parser = argparse.ArgumentParser()
    parser.add_argument("walker")
    parser.add_argument("file")
    parser.add_argument("cases")
    parser.add_argument("--archive", default="")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--no-targets", action="store_true")
    parser.add_argument("--only", default="")
    args = parser.parse_args()

    cases = selected(parse_cases(args.cases), args.only)
    if not cases:
        return 0
    size = os.path.getsize(args.file)
    walker = f"{shlex.quote(args.walker)} {shlex.quote(args.file)} >/dev/null"

    # A first walk brings the file into the page cache.
    _, walker_peak, walker_status, _ = run_once(walker)
    if walker_status != 0:
        sys.exit(f"the walker failed on {args.file}")

    checked = "" if args.no_targets else ", targets checked"
    print(f"file {args.file}: {size / 1e6:.1f} MB; {args.runs} runs per case{checked}")
    header = (f"{'case':<22} {'median s':>9} {'x walker':>9} {'CPU x':>6} {'peak MiB':>9} "
              f"{'x file':>7}  targets")
    print(header)
    print("-" * len(header))
    failed = False
    all_walks = []
    medians = {}
    for name, time_target, memory_target, command, base in cases:
        walks, times, peaks, shares = [], [], [], []
        status = 0
        with tempfile.TemporaryDirectory(prefix="orrelin-bench-") as out:
            words = {"FILE": shlex.quote(args.file), "OUT": shlex.quote(out),
                     "ARCHIVE": shlex.quote(args.archive)}
            line = re.sub(r"\b(FILE|OUT|ARCHIVE)\b", lambda m: words[m.group(1)], command)
            for _ in range(args.runs):
                walks.append(run_once(walker)[0])
                seconds, peak, status, cpu = run_once(line)
                if status != 0:
                    break
                times.append(seconds)
                shares.append(cpu / seconds if seconds > 0 else 0.0)
                peaks.append(peak)
            written = output_bytes(out)
        all_walks += walks
        if status != 0:
            print(f"{name:<22} FAILED: exit status {status} from: {line}")
            failed = True
            continue
        floor = statistics.median(walks)
        median = statistics.median(times)
        medians[name] = median
        ratio = median / floor if floor > 0 else float("inf")
        peak = max(peaks)
        memory = peak / size if size else float("inf")
        verdicts = []
        if time_target is not None and base is not None:
            if base in medians:
                against = median / medians[base] if medians[base] > 0 else float("inf")
                ok = against <= time_target
                verdicts.append(f"time {against:.2f}x {base} <= {time_target:g}x "
                                f"{'ok' if ok else 'missed'}")
            else:
                ok = False
                verdicts.append(f"time: {base} did not run")
            failed |= not ok and not args.no_targets
        elif time_target is not None:
            ok = ratio <= time_target
            verdicts.append(f"time <= {time_target:g}x {'ok' if ok else 'missed'}")
            failed |= not ok and not args.no_targets
        if memory_target is not None:
            ok = memory <= memory_target
            verdicts.append(f"memory <= {memory_target:g}x {'ok' if ok else 'missed'}")
            failed |= not ok and not args.no_targets
        if written:
            verdicts.append(f"output {written / 1e6:.1f} MB at {written / 1e6 / median:.1f} MB/s")
        share = statistics.median(shares)
        print(f"{name:<22} {median:9.3f} {ratio:9.2f} {share:6.2f} {peak / 2**20:9.1f} {memory:7.2f}  "
              + ", ".join(verdicts))
    if all_walks:
        print(f"{'(ipdwalk)':<22} {statistics.median(all_walks):9.3f} {1:9.2f} {'':>6} "
              f"{walker_peak / 2**20:9.1f} {walker_peak / size if size else 0:7.2f}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
