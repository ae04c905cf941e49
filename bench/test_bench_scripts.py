"""The benchmark's scripts: generated logs are reproducible and shaped as claimed, and a
measured run that hangs, grows or fails is reported, never waited for or counted."""

import datetime
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

import cases
from measure import measure

HERE = os.path.dirname(os.path.abspath(__file__))
COMBINED = re.compile(r'^(\S+) - \S+ \[(\d\d/\w{3}/\d{4}:\d\d:\d\d:\d\d) \+0000\] "(GET|POST|HEAD) (/\S*) HTTP/[12]\.[01]" '
                      r'(\d{3}) (\d+|-) "([^"]*)" "([^"]*)"$')


def generate(output, *args):
    subprocess.run([sys.executable, os.path.join(HERE, "generate_log.py"), output] + list(args), check=True)


def read_tree(path):
    if os.path.isdir(path):
        return {name: read_tree(os.path.join(path, name)) for name in sorted(os.listdir(path))}
    with open(path, "rb") as f:
        return f.read()


class GeneratorTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def test_a_seed_always_gives_the_same_output(self):
        for shape, extra in [("classic", []), ("real", []), ("search", ["--days", "400"]), ("w3c", ["--days", "30"]),
                             ("repetitive", ["--days", "400"])]:
            with self.subTest(shape=shape):
                args = ["--shape", shape, "--lines", "3000"] + extra
                generate(self.path(shape + "1"), *args)
                generate(self.path(shape + "2"), *args)
                generate(self.path(shape + "3"), *(args + ["--seed", "2"]))
                first = read_tree(self.path(shape + "1"))
                self.assertEqual(first, read_tree(self.path(shape + "2")))
                self.assertNotEqual(first, read_tree(self.path(shape + "3")))

    def read_combined(self, name, lines):
        with open(self.path(name), encoding="ascii") as f:
            text = f.read().splitlines()
        self.assertEqual(len(text), lines)
        rows = [COMBINED.match(line) for line in text]
        self.assertEqual([line for line, row in zip(text, rows) if not row], [])
        return text, [row.groups() for row in rows]

    def test_real_shape_looks_like_a_present_day_log(self):
        generate(self.path("real.log"), "--shape", "real", "--lines", "20000")
        text, rows = self.read_combined("real.log", 20000)
        average = sum(len(line) + 1 for line in text) / len(text)
        self.assertTrue(220 <= average <= 290, average)
        stamps = [datetime.datetime.strptime(row[1], "%d/%b/%Y:%H:%M:%S") for row in rows]
        self.assertEqual(stamps, sorted(stamps))
        self.assertGreaterEqual((stamps[-1] - stamps[0]).days, 25)
        statuses = {row[4] for row in rows}
        self.assertTrue({"200", "304", "301", "404"} <= statuses, statuses)
        agents = {row[7] for row in rows}
        self.assertGreater(len(agents), 60)
        self.assertTrue(any("Googlebot" in a for a in agents) and any("iPhone" in a for a in agents))
        referrers = [row[6] for row in rows]
        self.assertTrue(any(re.match(r"https://www\.google\.[a-z.]+/search\?q=\w", r) for r in referrers))
        self.assertTrue(any("?" in row[3] for row in rows))
        hosts = [row[0] for row in rows]
        self.assertTrue(len(hosts) / 60 < len(set(hosts)) < len(hosts) / 5, len(set(hosts)))

    def test_search_shape_gives_every_line_its_own_search_referrer(self):
        generate(self.path("search.log"), "--shape", "search", "--lines", "20000", "--days", "400")
        _, rows = self.read_combined("search.log", 20000)
        referrers = [row[6] for row in rows]
        self.assertEqual(len(set(referrers)), len(referrers))
        self.assertTrue(all(re.search(r"[?&](q|p)=\w", r) for r in referrers))
        days = {row[1][:11] for row in rows}
        self.assertGreater(len(days), 380)

    def test_repetitive_shape_repeats_few_values_out_of_time_order(self):
        generate(self.path("rep.log"), "--shape", "repetitive", "--lines", "30000", "--days", "400")
        text, rows = self.read_combined("rep.log", 30000)
        self.assertLessEqual(len({row[0] for row in rows}), 1800)
        self.assertGreater(len({row[0] for row in rows}), 1000)
        self.assertLessEqual(len({row[3] for row in rows}), 1500)
        self.assertEqual(len({row[7] for row in rows}), 100)
        stamps = [datetime.datetime.strptime(row[1], "%d/%b/%Y:%H:%M:%S") for row in rows]
        self.assertGreaterEqual((max(stamps) - min(stamps)).days, 395)
        # A line is out of order when an earlier line already had a later time.
        latest, late = stamps[0], 0
        for stamp in stamps:
            late += stamp < latest
            latest = max(latest, stamp)
        self.assertTrue(0.4 <= late / len(stamps) <= 0.55, late / len(stamps))
        # Short visits: most consecutive hits of one host in time order lie within minutes.
        by_host = {}
        for row, stamp in zip(rows, stamps):
            by_host.setdefault(row[0], []).append(stamp)
        gaps = [b - a for times in by_host.values() for a, b in zip(sorted(times), sorted(times)[1:])]
        short = sum(gap <= datetime.timedelta(minutes=2) for gap in gaps)
        self.assertTrue(0.4 <= short / len(gaps) <= 0.8, short / len(gaps))

    def test_w3c_folder_has_one_complete_file_a_day(self):
        generate(self.path("w3c"), "--shape", "w3c", "--lines", "5000", "--days", "365")
        names = sorted(os.listdir(self.path("w3c")))
        first = datetime.date(2024, 1, 1)
        self.assertEqual(names, [(first + datetime.timedelta(days=d)).strftime("u_ex%y%m%d.log") for d in range(365)])
        hits = 0
        for name in names:
            with open(os.path.join(self.path("w3c"), name), "rb") as f:
                raw = f.read()
            self.assertNotIn(b"\n", raw.replace(b"\r\n", b""), name)
            lines = raw.decode("ascii").split("\r\n")[:-1]
            self.assertEqual([l.split(" ")[0] for l in lines[:4]], ["#Software:", "#Version:", "#Date:", "#Fields:"])
            columns = len(lines[3].split()) - 1
            date = "20%s-%s-%s" % (name[4:6], name[6:8], name[8:10])
            for line in lines[4:]:
                fields = line.split(" ")
                self.assertEqual(len(fields), columns, line)
                self.assertEqual(fields[0], date)
            hits += len(lines) - 4
        self.assertEqual(hits, 5000)


class MeasureTest(unittest.TestCase):
    def test_runs_that_must_not_count(self):
        allocate = "import time; x = bytearray(%d << 20); x[::4096] = b'1' * len(x[::4096]); time.sleep(%d)"
        table = [
            # command, limits, expected failure
            (["true"], {}, ""),
            (["false"], {}, "exit status 1"),
            (["sleep", "30"], {"timeout": 0.5}, "timed out"),
            ([sys.executable, "-c", allocate % (300, 30)], {"rss_cap_kib": 100 << 10}, "killed above 100 MiB"),
        ]
        for command, limits, failure in table:
            with self.subTest(command=command[0], failure=failure):
                start = time.monotonic()
                run = measure(command, **limits)
                self.assertLess(time.monotonic() - start, 10)
                self.assertEqual(run.ok, not failure)
                self.assertTrue(run.failure.startswith(failure), run.failure)

    def test_peak_is_that_of_the_measured_program(self):
        run = measure([sys.executable, "-c", "x = bytearray(200 << 20); x[::4096] = b'1' * len(x[::4096])"])
        self.assertTrue(run.ok, run.failure)
        self.assertGreater(run.peak_kib, 200 << 10)
        self.assertLess(run.peak_kib, 400 << 10)

    def test_minor_faults_count_the_pages_touched(self):
        touch = "x = bytearray(%d << 20); x[::4096] = b'1' * len(x[::4096])"
        small = measure([sys.executable, "-c", touch % 1])
        large = measure([sys.executable, "-c", touch % 200])
        self.assertTrue(small.ok and large.ok)
        # 200 MiB is 51,200 pages of 4 KiB: each first touch faults once (fewer with huge pages).
        self.assertGreater(large.minor_faults - small.minor_faults, 20000)
        self.assertLess(large.minor_faults - small.minor_faults, 60000)

    def test_processor_time_is_that_of_the_measured_program(self):
        run = measure([sys.executable, "-c", "import time\nend = time.process_time() + 0.5\n"
                                             "while time.process_time() < end: pass"])
        self.assertTrue(run.ok, run.failure)
        self.assertGreater(run.cpu, 0.4)
        self.assertLess(run.cpu, run.wall + 0.1)
        # A run far shorter than a scheduler tick still has a processor time of its own.
        short = measure(["true"])
        self.assertTrue(short.ok, short.failure)
        self.assertGreater(short.cpu, 0)
        self.assertLess(short.cpu, 0.05)


class ReadBackTest(unittest.TestCase):
    def test_counts_read_from_the_outputs(self):
        with tempfile.TemporaryDirectory() as tmp:
            report = os.path.join(tmp, "r.html")
            with open(report, "w") as f:
                f.write("<p><span>Successful requests:</span> 1,013,417\n<span>Average successful requests per "
                        "day:</span> 61\n<span>Successful requests for pages:</span> 726\n<span>Failed requests:"
                        "</span> 401\n<span>Redirected requests:</span> 182\n")
            self.assertEqual(cases.analog_lines_read(report), 1014000)
            csv = os.path.join(tmp, "r.csv")
            with open(csv, "w") as f:
                f.write('"General"\n"Access","TotalHits","2641"\n,"HitsOnPages","1115"\n')
            self.assertEqual(cases.csv_total_hits(csv), 2641)
            with open(csv, "w") as f:
                f.write('"General"\n')
            self.assertIsNone(cases.csv_total_hits(csv))

            # The engine's parse line, as brindle-bench prints it: lines, seconds, cpu.
            out = ("/x/real-1m.log\nparse threads 8\nhits 1000000, bad lines 0, visits 76915\n"
                   "parse     1000000 lines    0.167 s      5995268 lines/s  (cpu 0.887 s)  peak    86.9 MiB  "
                   "faults 10838\ntotal     1000000 lines    0.430 s      2324554 lines/s  (cpu 1.741 s)\n")
            self.assertEqual(cases.PARSE_LINE.search(out).groups(), ("1000000", "0.167", "0.887"))

if __name__ == "__main__":
    unittest.main()
