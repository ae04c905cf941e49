"""Keeps a test server from outliving its test."""
import os
import sys
import threading


def stop_when_parent_goes(limit):
    """Exits when standard input closes (the test ended or died) or after Limit seconds."""

    def watch_stdin():
        try:
            while sys.stdin.buffer.read(4096):
                pass
        finally:
            os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    timer = threading.Timer(limit, lambda: os._exit(3))
    timer.daemon = True
    timer.start()


def announce_port(port):
    """The first line of standard output tells the test where to connect."""
    sys.stdout.write("%d\n" % port)
    sys.stdout.flush()
