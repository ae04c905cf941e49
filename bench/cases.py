#!/usr/bin/env python3
"""Runs the benchmark cases through the built program, beside analog on the same files.

Each case gets a fresh user folder with a one-profile Profiles.xml (Profiles.template.xml)
whose analysis ends with an automatic CSV export; the program runs unattended
(`/s /p=Bench /c`, offscreen). A run counts only when the program exits with 0 and the
CSV's total hits equal the lines generated, so a silent failure cannot pass as fast.
analog (`-G "+CALL ON"`) must likewise report every line. Generated logs are cached
in build-release/bench/ and made again only when the generator changes.

    cases.py [CASE...]      cases a b c d e (default all), plus the engine-only breakdown

Case b also times brindle-bench's parse stage of its log on one thread and on eight.

Every run prints wall time, processor time (user + system), minor page faults and peak
memory, for the program and for analog; the ratios to analog are judged on processor time
beside wall time, since wall time on a shared machine swings with the neighbours.

Environment: BENCH_TIMEOUT (s, default 300), BENCH_RSS_CAP_MIB (default 4096),
BENCH_REPEATS (default 3; only runs shorter than 10 s are repeated).
"""

import glob
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
from dataclasses import dataclass, field

from measure import measure
from profiles_xml import write_profiles

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
RELEASE = os.path.join(ROOT, "build-release")
PROGRAM = os.path.join(RELEASE, "bin", "brindle-analyzer")
ENGINE_BENCH = os.path.join(RELEASE, "bin", "brindle-bench")
DATA = os.path.join(RELEASE, "bench")

TIMEOUT = float(os.environ.get("BENCH_TIMEOUT", "300"))
RSS_CAP_KIB = int(os.environ.get("BENCH_RSS_CAP_MIB", "4096")) * 1024
REPEATS = int(os.environ.get("BENCH_REPEATS", "3"))
CHEAP_SECONDS = 10.0
MIB = 1024.0


@dataclass
class Data:
    """A generated log file or folder; `files` is what the profile and analog are given."""
    name: str
    args: list
    lines: int
    folder: bool = False

    @property
    def path(self):
        return os.path.join(DATA, self.name)

    @property
    def profile_files(self):
        return os.path.join(self.path, "*.log") if self.folder else self.path

    def analog_files(self):
        return sorted(glob.glob(os.path.join(self.path, "*.log"))) if self.folder else [self.path]


@dataclass
class Case:
    key: str
    title: str
    data: Data
    log_format: int = 0   # 0: the program detects it
    with_analog: bool = True
    ours: object = None
    theirs: object = None
    notes: list = field(default_factory=list)


W3C_FOLDER = Data("w3c-365-days", ["--shape", "w3c", "--lines", "14000", "--days", "365"], 14000, folder=True)
REAL_1M = Data("real-1m.log", ["--shape", "real", "--lines", "1000000"], 1000000)
SEARCH_1M = Data("search-1m.log", ["--shape", "search", "--lines", "1000000", "--days", "400"], 1000000)
CLASSIC_1M = Data("access.log", ["--lines", "1000000"], 1000000)
CLASSIC_10M = Data("classic-10m.log", ["--lines", "10000000", "--days", "280"], 10000000)
SEARCH_3M = Data("search-3m.log", ["--shape", "search", "--lines", "3000000", "--days", "400"], 3000000)
REPETITIVE_1M = Data("repetitive-1m.log", ["--shape", "repetitive", "--lines", "1000000", "--days", "400"], 1000000)
ONE_LINE = Data("one-line.log", ["--lines", "1"], 1)


def generator_digest():
    digest = hashlib.sha256()
    for name in ("generate_log.py", "real_shapes.py", "repetitive_shape.py"):
        with open(os.path.join(HERE, name), "rb") as f:
            digest.update(f.read())
    return digest.hexdigest()


def ensure(data):
    """Generates the data unless a finished copy from the same generator and arguments is there."""
    stamp_path = data.path + ".stamp"
    stamp = json.dumps({"args": data.args, "generator": generator_digest()})
    if os.path.exists(data.path) and os.path.exists(stamp_path):
        with open(stamp_path) as f:
            if f.read() == stamp:
                return
    os.makedirs(DATA, exist_ok=True)
    print("generating %s ..." % data.name, flush=True)
    part = data.path + ".part"
    for old in (part, data.path, stamp_path):
        if os.path.isdir(old):
            shutil.rmtree(old)
        elif os.path.exists(old):
            os.remove(old)
    subprocess.run([sys.executable, os.path.join(HERE, "generate_log.py"), part] + data.args, check=True)
    # Renamed only once complete, so an interrupted run never leaves a short log behind.
    os.rename(part, data.path)
    with open(stamp_path, "w") as f:
        f.write(stamp)


def csv_total_hits(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = re.match(r'^"Access","TotalHits","(\d+)"', line)
            if m:
                return int(m.group(1))
    return None


def run_ours_once(case):
    home = tempfile.mkdtemp(prefix="brindle-bench-home-")
    try:
        csv = os.path.join(home, "export", "report.csv")
        write_profiles(home, "Bench", case.data.profile_files, case.log_format, csv)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", BRINDLE_ANALYZER_HOME=home)
        log = os.path.join(home, "program.log")
        run = measure([PROGRAM, "/s", "/p=Bench", "/c"], env, TIMEOUT, RSS_CAP_KIB, log)
        if run.ok:
            hits = csv_total_hits(csv) if os.path.exists(csv) else None
            if hits is None:
                run.failure = "no CSV export written"
            elif hits != case.data.lines:
                run.failure = "CSV counts %d hits of %d lines" % (hits, case.data.lines)
        if not run.ok and os.path.exists(log):
            with open(log, errors="replace") as f:
                noise = ("propagateSizeHints", "raise()", "XDG_RUNTIME_DIR")
                tail = [l for l in f.read().splitlines() if not any(n in l for n in noise)]
            if tail:
                case.notes.append("program output: " + " | ".join(tail[-3:]))
        return run
    finally:
        shutil.rmtree(home, ignore_errors=True)


def analog_lines_read(report):
    """Sums the summary's request counts (successful, failed, redirected, ...)."""
    with open(report, encoding="latin-1") as f:
        text = re.sub(r"<[^>]*>", "", f.read())
    total = 0
    for kind, count in re.findall(r"^([A-Za-z ]+) requests: ([\d,]+)\s*$", text, re.M):
        if "pages" not in kind and "Average" not in kind:
            total += int(count.replace(",", ""))
    return total


def run_analog_once(case):
    out = tempfile.mkdtemp(prefix="brindle-bench-analog-")
    try:
        report = os.path.join(out, "report.html")
        run = measure(["analog", "-G", "+CALL ON", "-O" + report] + case.data.analog_files(), None, TIMEOUT,
                      RSS_CAP_KIB)
        if run.ok:
            read = analog_lines_read(report) if os.path.exists(report) else 0
            if read != case.data.lines:
                run.failure = "analog read %d of %d lines" % (read, case.data.lines)
        return run
    finally:
        shutil.rmtree(out, ignore_errors=True)


def best_of(run_once):
    """The fastest of up to REPEATS runs; a slow or failed run is not repeated."""
    runs = []
    for _ in range(max(1, REPEATS)):
        run = run_once()
        runs.append(run)
        if not run.ok or run.wall > CHEAP_SECONDS:
            break
    good = [r for r in runs if r.ok]
    if not good:
        return runs[-1], len(runs)
    best = min(good, key=lambda r: r.wall)
    best.peak_kib = min(r.peak_kib for r in good)
    best.cpu = min(r.cpu for r in good)
    best.minor_faults = min(r.minor_faults for r in good)
    return best, len(runs)


def describe(run, count):
    figure = "%8.3f s   cpu %7.3f s   faults %9d   peak %7.1f MiB" % (run.wall, run.cpu, run.minor_faults,
                                                                     run.peak_kib / MIB)
    if not run.ok:
        return figure + "   FAILED: " + run.failure
    return figure + ("   (best of %d)" % count if count > 1 else "")


def run_case(case):
    ensure(case.data)
    size = sum(os.path.getsize(f) for f in case.data.analog_files())
    print("\n%s. %s\n   (%d lines, %.0f MB, %.0f bytes a line)" % (case.key, case.title, case.data.lines, size / 1e6,
                                                             size / case.data.lines), flush=True)
    case.ours, count = best_of(lambda: run_ours_once(case))
    print("   brindle %s" % describe(case.ours, count), flush=True)
    for note in case.notes:
        print("           " + note)
    if case.with_analog:
        case.theirs, count = best_of(lambda: run_analog_once(case))
        print("   analog  %s" % describe(case.theirs, count), flush=True)
        if case.ours.ok and case.theirs.ok:
            print("   ratio   brindle / analog = %.2f (wall), %.2f (cpu), %.2f (peak)" % (
                case.ours.wall / case.theirs.wall, cpu_ratio(case), case.ours.peak_kib / max(1, case.theirs.peak_kib)))


def verdict(passed, text):
    line = "%s  %s" % ("PASS" if passed else "FAIL", text)
    print("   " + line)
    return line


def valid(case):
    return case.ours.ok and case.theirs is not None and case.theirs.ok


# The kernel counts processor time in microseconds; the floor only keeps a ratio finite.
CPU_RESOLUTION = 1e-6


def cpu_ratio(case):
    return case.ours.cpu / max(CPU_RESOLUTION, case.theirs.cpu)


def wall_target(case, limit):
    if not valid(case):
        return verdict(False, "%s: wall <= %g x analog (no valid figures)" % (case.key, limit))
    ratio = case.ours.wall / case.theirs.wall
    return verdict(ratio <= limit, "%s: wall <= %g x analog (%.2f x)" % (case.key, limit, ratio))


def cpu_target(case, limit):
    if not valid(case):
        return verdict(False, "%s: cpu <= %g x analog (no valid figures)" % (case.key, limit))
    ratio = cpu_ratio(case)
    return verdict(ratio <= limit, "%s: cpu <= %g x analog (%.2f x)" % (case.key, limit, ratio))


def seconds_target(case, limit):
    if not case.ours.ok:
        return verdict(False, "%s: whole run <= %.0f ms (%s)" % (case.key, limit * 1000, case.ours.failure))
    return verdict(case.ours.wall <= limit, "%s: whole run <= %.0f ms (%.0f ms wall, %.0f ms cpu)" % (
        case.key, limit * 1000, case.ours.wall * 1000, case.ours.cpu * 1000))


def peak_target(case, limit_mib, label):
    if not case.ours.ok:
        return verdict(False, "%s: peak <= %s (%s)" % (case.key, label, case.ours.failure))
    peak = case.ours.peak_kib / MIB
    return verdict(peak <= limit_mib, "%s: peak <= %s (%.0f MiB)" % (case.key, label, peak))


def faults_target(case, per_million):
    if not case.ours.ok:
        return verdict(False, "%s: minor faults <= %d per 1,000,000 lines (%s)" % (case.key, per_million,
                                                                               case.ours.failure))
    scaled = case.ours.minor_faults * 1e6 / case.data.lines
    return verdict(scaled <= per_million, "%s: minor faults <= %d per 1,000,000 lines (%.0f)" % (
        case.key, per_million, scaled))


# Growth by more than the input's factor counts as worse than linear; 15% is left for noise.
LINEAR_SLACK = 1.15


def linear_target(key, what, small, large, figure):
    factor = large.data.lines / small.data.lines
    if not (small.ours.ok and large.ours.ok):
        return verdict(False, "%s: %s linear in lines (no valid figures)" % (key, what))
    ratio = figure(large.ours) / max(1e-9, figure(small.ours))
    limit = factor * LINEAR_SLACK
    return verdict(ratio <= limit, "%s: %s(%dM) / %s(%dM) <= %.2f, linear (%.2f)" % (
        key, what, large.data.lines // 1000000, what, small.data.lines // 1000000, limit, ratio))


# The parse stage alone, as brindle-bench times it (reading, mapping and merging the hits, up
# to the statistics): best of REPEATS for each thread count. The counts take turns, so that
# both meet the same neighbours on a shared machine and their ratio compares like with like.
PARSE_LINE = re.compile(r"^parse\s+(\d+) lines\s+([\d.]+) s .*\(cpu ([\d.]+) s\)", re.M)


def engine_parse_once(data, threads):
    try:
        out = subprocess.run([ENGINE_BENCH, data.path, str(threads)], capture_output=True, text=True,
                             timeout=TIMEOUT, check=False)
    except subprocess.TimeoutExpired:
        return None
    m = PARSE_LINE.search(out.stdout)
    if out.returncode == 0 and m and int(m.group(1)) == data.lines:
        return (float(m.group(2)), float(m.group(3)))
    return None


def engine_parse(data, thread_counts):
    best = {threads: None for threads in thread_counts}
    for _ in range(REPEATS):
        for threads in thread_counts:
            figure = engine_parse_once(data, threads)
            if figure and (best[threads] is None or figure[0] < best[threads][0]):
                best[threads] = figure
    return best


def parse_targets(key, data, ns_limit, threads, scaling):
    ensure(data)
    if not os.path.exists(ENGINE_BENCH):
        return [verdict(False, "%s: engine parse (%s is missing)" % (key, ENGINE_BENCH))]
    best = engine_parse(data, (1, threads))
    one, many = best[1], best[threads]
    print("\n%s. the parse stage of %s alone (brindle-bench, best of %d, taking turns)" % (key, data.name, REPEATS),
          flush=True)
    for label, figure in (("1 thread", one), ("%d threads" % threads, many)):
        if figure:
            print("   %-10s %7.3f s   cpu %6.2f s   %5.0f ns a line" % (label, figure[0], figure[1],
                                                                      figure[0] * 1e9 / data.lines))
    if not one or not many:
        return [verdict(False, "%s: engine parse (no valid figures)" % key)]
    ns = one[0] * 1e9 / data.lines
    speedup = one[0] / max(1e-9, many[0])
    return [verdict(ns <= ns_limit, "%s: one-thread parse <= %d ns a line (%.0f)" % (key, ns_limit, ns)),
            verdict(speedup >= scaling, "%s: %d threads >= %g x one thread on the parse (%.2f x)" % (
                key, threads, scaling, speedup))]


def engine_breakdown():
    ensure(CLASSIC_1M)
    if not os.path.exists(ENGINE_BENCH):
        print("engine-only: %s is missing" % ENGINE_BENCH)
        return
    print("\nEngine only (brindle-bench, %s):" % CLASSIC_1M.name, flush=True)
    subprocess.run([ENGINE_BENCH, CLASSIC_1M.path], check=False)


def main(argv):
    wanted = set(argv) or {"a", "b", "c", "d", "e"}
    if not os.path.exists(PROGRAM):
        sys.exit("bench: %s is missing; run 'make bench'" % PROGRAM)
    # The machine may be shared: say how busy it was when the figures were taken.
    print("load average %s on %d processors" % (" ".join("%.2f" % v for v in os.getloadavg()), os.cpu_count()))
    engine_breakdown()
    targets = []
    if "a" in wanted:
        case = Case("a", "folder of 365 daily IIS W3C files, 14,000 hits (wildcard profile)", W3C_FOLDER)
        run_case(case)
        targets.append(wall_target(case, 1.0))
        # The program's fixed cost: start-up, one line, the CSV export and the shutdown.
        one = Case("a", "a one-line log, the whole unattended run", ONE_LINE)
        run_case(one)
        targets.append(seconds_target(one, 0.060))
    if "b" in wanted:
        case = Case("b", "1,000,000 real-shaped combined lines, whole run with a CSV export", REAL_1M)
        run_case(case)
        targets.append(wall_target(case, 0.4))
        targets.append(cpu_target(case, 1.5))
        targets.append(faults_target(case, 30000))
        targets.extend(parse_targets("b", REAL_1M, 500, 8, 5.0))
    if "c" in wanted:
        case = Case("c", "1,000,000 lines, a distinct search referrer each, over 400 days", SEARCH_1M)
        run_case(case)
        targets.append(peak_target(case, 400, "400 MiB"))
        targets.append(cpu_target(case, 1.5))
        large = Case("c", "3,000,000 lines, a distinct search referrer each, over 400 days", SEARCH_3M,
                     with_analog=False)
        run_case(large)
        targets.append(linear_target("c", "peak", case, large, lambda run: run.peak_kib))
    if "d" in wanted:
        small = Case("d", "1,000,000 ordinary lines (the reference for the 10M case)", CLASSIC_1M)
        run_case(small)
        case = Case("d", "10,000,000 ordinary lines", CLASSIC_10M)
        run_case(case)
        targets.append(peak_target(case, 800, "800 MiB"))
        # Judged on processor time: wall time on a shared machine says more about the
        # neighbours than about the growth.
        targets.append(linear_target("d", "cpu", small, case, lambda run: run.cpu))
    if "e" in wanted:
        case = Case("e", "1,000,000 lines of a repetitive real site: 1,800 hosts, 1,500 URLs, 100 agents, "
                         "short visits over 400 days, half the lines out of time order", REPETITIVE_1M)
        run_case(case)
        targets.append(wall_target(case, 0.5))
    print("\nTargets (every program run with a CSV export; DNS off; load average now %.2f):" % os.getloadavg()[0])
    for line in targets:
        print("   " + line)
    return 0 if all(line.startswith("PASS") for line in targets) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
