#!/usr/bin/env python3
"""Writes a combined-format log whose every host, URI, referrer and user agent is distinct:
the worst case for the interned string tables and the classification memos.

    distinct_log.py OUTPUT [--lines N]
"""

import argparse


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("output")
    parser.add_argument("--lines", type=int, default=1000000)
    args = parser.parse_args()
    with open(args.output, "w") as out:
        for i in range(args.lines):
            host = "10.%d.%d.%d" % ((i >> 16) & 255, (i >> 8) & 255, i & 255) if i < 1 << 24 else "h%d.example" % i
            second = i % 60
            minute = (i // 60) % 60
            hour = (i // 3600) % 24
            day = 1 + (i // 86400) % 28
            out.write('%s - - [%02d/Mar/2005:%02d:%02d:%02d +0100] "GET /page/%d.html HTTP/1.1" 200 %d '
                      '"http://ref%d.example/from/%d" "Mozilla/5.0 (X11; Linux x86_64; build %d) Gecko/%d Firefox/%d.0"\n'
                      % (host, day, hour, minute, second, i, 1000 + i % 5000, i, i, i, 20000000 + i, i % 100))


if __name__ == "__main__":
    main()
