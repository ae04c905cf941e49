"""Writes the benchmark's Profiles.xml into a user folder from Profiles.template.xml."""

import os
from xml.sax.saxutils import escape

TEMPLATE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "Profiles.template.xml")


def write_profiles(home, name, log_files, log_format=0, csv_export=None):
    """One profile `name` reading `log_files` (a path, wildcards allowed); with `csv_export`
    the analysis ends with an automatic CSV export to that file."""
    values = {
        "@NAME@": name,
        "@LOGFILE@": log_files,
        "@FORMAT@": str(log_format),
        "@AUTOEXPORT@": "1" if csv_export else "0",
        "@EXPORTTYPE@": "3" if csv_export else "0",
        "@EXPORTFILE@": csv_export or "",
    }
    with open(TEMPLATE, encoding="utf-8") as source:
        text = source.read()
    for key, value in values.items():
        text = text.replace(key, escape(value, {'"': "&quot;"}))
    path = os.path.join(home, "Profiles.xml")
    with open(path, "w", encoding="utf-8") as out:
        out.write(text)
    return path


if __name__ == "__main__":
    import argparse
    parser = argparse.ArgumentParser(description="Write a benchmark Profiles.xml into a user folder.")
    parser.add_argument("home")
    parser.add_argument("name")
    parser.add_argument("log_files")
    parser.add_argument("--format", type=int, default=0)
    parser.add_argument("--csv", default=None, help="export the analysis to this CSV file")
    args = parser.parse_args()
    write_profiles(args.home, args.name, args.log_files, args.format, args.csv)
