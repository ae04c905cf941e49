"""Runs one command and measures it: wall time, processor time, peak memory and minor page
faults.

/usr/bin/time starts the command, so that the peak and the faults are the command's own: a
process started straight from this one would count this interpreter's memory as its peak
(the kernel keeps the largest resident size a process had before it ran another program).
The processor time is that of /usr/bin/time and the command together, in microseconds as
the kernel gives it to the waiting parent, since /usr/bin/time prints only hundredths; the
measuring process adds about a millisecond.

The command gets its own process group, a time limit and a memory ceiling. A run that
passes either is killed and reported, so an analysis stuck behind a message box nobody
sees, or one eating the shared machine's memory, ends as a failure instead of hanging.
"""

import os
import signal
import subprocess
import tempfile
import threading
import time
from dataclasses import dataclass

PAGE_KIB = os.sysconf("SC_PAGE_SIZE") // 1024


@dataclass
class Run:
    wall: float          # seconds
    peak_kib: int        # maximum resident set size
    cpu: float           # user + system seconds
    exit_code: int
    minor_faults: int = 0  # pages first touched (or reclaimed without reading from disk)
    failure: str = ""    # why the run does not count; empty when it ran to its end

    @property
    def ok(self):
        return not self.failure


def group_rss_kib(group):
    """Resident memory of every process in the group (a process may be gone meanwhile)."""
    total = 0
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            if int(fields[2]) != group:
                continue
            with open("/proc/%s/statm" % entry) as f:
                total += int(f.read().split()[1]) * PAGE_KIB
        except (OSError, IndexError, ValueError):
            pass
    return total


def kill_measured(group, timer_pid):
    """Kills the measured processes of our own group but not /usr/bin/time, which then still
    writes the peak it saw."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == timer_pid:
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                if int(f.read().rsplit(")", 1)[1].split()[2]) == group:
                    os.kill(int(entry), signal.SIGKILL)
        except (OSError, IndexError, ValueError):
            pass


def measure(command, env=None, timeout=300.0, rss_cap_kib=None, log_path=os.devnull):
    with tempfile.NamedTemporaryFile(prefix="brindle-bench-time-", delete=False) as mem:
        mem_path = mem.name
    try:
        with open(log_path, "ab") as log:
            start = time.monotonic()
            proc = subprocess.Popen(["/usr/bin/time", "-f", "%U %S %M %R", "-o", mem_path] + list(command), env=env,
                                    stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
            failure = ""
            finished = threading.Event()

            def watch():
                # Wakes ten times a second to judge the limits; the wait for the command itself
                # blocks, so the wall time is not rounded up to a polling step.
                nonlocal failure
                while not finished.wait(0.1):
                    elapsed = time.monotonic() - start
                    if elapsed > timeout:
                        failure = "timed out after %.0f s" % timeout
                    elif rss_cap_kib and group_rss_kib(proc.pid) > rss_cap_kib:
                        failure = "killed above %d MiB after %.1f s" % (rss_cap_kib // 1024, elapsed)
                    if failure:
                        kill_measured(proc.pid, proc.pid)
                        return

            watcher = threading.Thread(target=watch, daemon=True)
            watcher.start()
            usage = None
            try:
                _, status, usage = os.wait4(proc.pid, 0)
                end = time.monotonic()
                proc.returncode = os.waitstatus_to_exitcode(status)
            finally:
                finished.set()
                watcher.join()
                if usage is None:
                    os.killpg(proc.pid, signal.SIGKILL)
                    proc.wait()
            wall = end - start
        # A killed command's line comes after a "Command terminated by signal" line.
        with open(mem_path) as f:
            last = (f.read().strip().splitlines() or [""])[-1].split()
        try:
            peak, faults = int(last[2]), int(last[3])
        except (IndexError, ValueError):
            peak, faults = 0, 0
        cpu = usage.ru_utime + usage.ru_stime
    finally:
        os.unlink(mem_path)
    if not failure and proc.returncode != 0:
        failure = "exit status %d" % proc.returncode
    return Run(wall, peak, cpu, proc.returncode, minor_faults=faults, failure=failure)
