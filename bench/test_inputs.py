#!/usr/bin/env python3
"""Writes the small inputs bench_inputs_test reads: each generated shape, and a profile
from the template whose name and paths carry every character XML must escape.

    test_inputs.py DATA_DIR
"""

import os
import shutil
import subprocess
import sys

from profiles_xml import write_profiles

HERE = os.path.dirname(os.path.abspath(__file__))


def generate(output, *args):
    subprocess.run([sys.executable, os.path.join(HERE, "generate_log.py"), output] + list(args), check=True)


def main(data):
    shutil.rmtree(data, ignore_errors=True)
    os.makedirs(os.path.join(data, "home"))
    generate(os.path.join(data, "real.log"), "--shape", "real", "--lines", "20000")
    generate(os.path.join(data, "search.log"), "--shape", "search", "--lines", "20000", "--days", "400")
    generate(os.path.join(data, "w3c & co"), "--shape", "w3c", "--lines", "3000", "--days", "365")
    generate(os.path.join(data, "classic.log"), "--lines", "20000")
    write_profiles(os.path.join(data, "home"), "Bench <&\"'>", os.path.join(data, "w3c & co", "*.log"), 6,
                   os.path.join(data, "out <1>", "report.csv"))


if __name__ == "__main__":
    main(sys.argv[1])
