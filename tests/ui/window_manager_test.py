#!/usr/bin/python3
"""What the window manager is told about the program's windows, on a real X server.

Starts its own Xvfb (on a display number the server picks itself) and openbox, serves a log
over HTTP that never finishes, and runs the built program on a profile that reads it, so the
progress window stays up for as long as the test needs. Then checks:
  - the progress window names the main window in WM_TRANSIENT_FOR;
  - a click on the (disabled) main window, or on its title bar, leaves the progress window above it;
  - the main window and the progress window carry an icon (_NET_WM_ICON).
Every wait is for a property of the X server or the window manager, with a generous bound.

Usage: window_manager_test.py PROGRAM [--screenshots DIR]
"""
import argparse
import http.server
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

WAIT_BOUND = 120.0  # seconds; only a hung run ever gets near it

OPENBOX_RC = """<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy><center>yes</center></placement>
  <desktops><number>2</number></desktops>
  <mouse>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Close">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
  </mouse>
</openbox_config>
"""

PROFILES = """<?xml version="1.0" encoding="UTF-8"?>
<DATA Description="Brindle Analyzer Profiles" Ver="2.20">
  <Profiles>
    <Profile>
      <Name>Endless</Name>
      <LogFiles>
        <LogFile LogFileType="http://" LogFileURL="127.0.0.1:{port}/endless.log" LoginUserName=""
                 LoginPassword="" LoginPort="{port}" PassiveMode="0" Enable="1" />
      </LogFiles>
      <LogFileFormat>0</LogFileFormat>
      <DateFormat>0</DateFormat>
      <DomainName>www.brindle.example</DomainName>
      <DefaultPage>index.html</DefaultPage>
      <DNSLookup>0</DNSLookup>
      <AutoExport>0</AutoExport>
      <Description>A log that never ends</Description>
    </Profile>
  </Profiles>
</DATA>
"""

# No tips at start; the first run of the version writes the missing options file itself.
SETTINGS = "[Tips]\nStartUp=0\n"

LOG_LINE = b'127.0.0.1 - - [10/Oct/2026:13:55:36 +0000] "GET /index.html HTTP/1.1" 200 2326\n'


class EndlessLog(http.server.BaseHTTPRequestHandler):
    """Sends a few lines of a large log, then holds the transfer open until the test ends."""

    finished = threading.Event()

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(LOG_LINE) * 1000000))
        self.end_headers()
        try:
            self.wfile.write(LOG_LINE * 10)
            self.wfile.flush()
            while not self.finished.wait(0.2):
                pass
        except OSError:
            pass


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


class Display:
    """An Xvfb server with openbox on it."""

    def __init__(self, work):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    fail("Xvfb ended before it named its display")
                number += chunk
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        self.env.pop("WAYLAND_DISPLAY", None)
        rc = os.path.join(work, "rc.xml")
        with open(rc, "w") as f:
            f.write(OPENBOX_RC)
        self.openbox_rc = rc
        self.openbox_log = os.path.join(work, "openbox.log")
        self.openbox_starts = 0
        self.start_openbox()
        wait_for("openbox to manage the screen", self.window_manager_ready)

    def start_openbox(self):
        self.openbox_starts += 1
        with open(self.openbox_log, "ab") as log:
            self.openbox = subprocess.Popen(["openbox", "--config-file", self.openbox_rc], env=self.env,
                                            stdout=subprocess.DEVNULL, stderr=log)

    def window_manager_ready(self):
        # On a loaded machine openbox has been seen to end before it took the screen; it is
        # started again a few times, and its own words are shown when it keeps ending.
        if self.openbox.poll() is not None:
            if self.openbox_starts >= 3:
                with open(self.openbox_log, errors="replace") as log:
                    fail(f"openbox ended with status {self.openbox.returncode}: {log.read().strip()}")
            self.start_openbox()
        return self.root_property("_NET_SUPPORTING_WM_CHECK")

    def close(self):
        for process in (self.openbox, self.xvfb):
            process.terminate()
            try:
                process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def run(self, *arguments):
        result = subprocess.run(list(arguments), env=self.env, capture_output=True, text=True)
        return result.stdout if result.returncode == 0 else ""

    def root_property(self, name):
        return self.property("-root", name)

    def property(self, window, name, length=None):
        target = ["-root"] if window == "-root" else ["-id", window]
        limit = ["-len", str(length)] if length else []
        text = self.run("xprop", *target, *limit, name)
        return "" if "not found" in text or "no such atom" in text else text.strip()

    def windows(self, name="_NET_CLIENT_LIST_STACKING"):
        """Managed client windows, bottom to top for the stacking list."""
        return re.findall(r"0x[0-9a-f]+", self.root_property(name).partition("#")[2])

    def title(self, window):
        match = re.search(r'= "(.*)"', self.property(window, "_NET_WM_NAME") or self.property(window, "WM_NAME"))
        return match.group(1) if match else ""

    def pid(self, window):
        match = re.search(r"= (\d+)", self.property(window, "_NET_WM_PID"))
        return int(match.group(1)) if match else 0

    def geometry(self, window):
        text = self.run("xdotool", "getwindowgeometry", str(int(window, 16)))
        position = re.search(r"Position: (-?\d+),(-?\d+)", text)
        size = re.search(r"Geometry: (\d+)x(\d+)", text)
        if not position or not size:
            fail("no geometry for window " + window)
        return tuple(int(v) for v in position.groups() + size.groups())


def wait_for(what, condition):
    deadline = time.monotonic() + WAIT_BOUND
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            fail("gave up waiting for " + what)
        time.sleep(0.05)


def number_of_desktops(display):
    return int(re.findall(r"\d+", display.root_property("_NET_NUMBER_OF_DESKTOPS"))[-1])


def same_window(a, b):
    return int(a, 16) == int(b, 16)


def point_outside(outer, inner):
    """A point well inside outer that inner does not cover."""
    x, y, w, h = outer
    ix, iy, iw, ih = inner
    for px, py in ((x + 15, y + 15), (x + w - 15, y + 15), (x + 15, y + h - 15), (x + w - 15, y + h - 15)):
        if not (ix <= px < ix + iw and iy <= py < iy + ih):
            return px, py
    fail("the progress window covers the whole main window")


def icon_sizes(display, window):
    """The sizes of the images in _NET_WM_ICON (xprop draws each one under "Icon (W x H):")."""
    text = display.property(window, "_NET_WM_ICON")
    return sorted(int(w) for w, h in re.findall(r"Icon \((\d+) x (\d+)\)", text) if w == h)


# The sizes the program's icon is drawn at that Qt hands to X11 (it leaves out 256); a
# generic icon has one or two.
PROGRAM_ICON_SIZES = [16, 22, 24, 32, 48, 64, 128]


def check_icon(display, window, what):
    sizes = icon_sizes(display, window)
    if not set(PROGRAM_ICON_SIZES) <= set(sizes):
        fail("%s does not carry the program's icon: _NET_WM_ICON holds the sizes %s" % (what, sizes or "none"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--screenshots")
    args = parser.parse_args()
    for tool in ("Xvfb", "openbox", "xprop", "xdotool"):
        if not shutil.which(tool):
            fail(tool + " is missing: scripts/install-deps installs it")

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), EndlessLog)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    work = tempfile.mkdtemp(prefix="brindle-wm-")
    display = None
    program = None
    try:
        home = os.path.join(work, "home")
        os.makedirs(home)
        with open(os.path.join(home, "Profiles.xml"), "w") as f:
            f.write(PROFILES.format(port=server.server_address[1]))
        with open(os.path.join(home, "settings.ini"), "w") as f:
            f.write(SETTINGS)

        display = Display(work)
        env = dict(display.env, BRINDLE_ANALYZER_HOME=home, QT_QPA_PLATFORM="xcb")
        env.pop("QT_QPA_PLATFORMTHEME", None)
        program = subprocess.Popen([args.program, "/p=Endless"], env=env, stdout=subprocess.DEVNULL)

        def windows_of_program():
            if program.poll() is not None:
                fail("the program ended early with exit code %d" % program.returncode)
            found = {}
            for window in display.windows("_NET_CLIENT_LIST"):
                if display.pid(window) != program.pid:
                    continue
                title = display.title(window)
                # Qt adds the application name to a dialog's title.
                if title.startswith("Generate report"):
                    found["progress"] = window
                elif title.endswith("Brindle Analyzer"):
                    found["main"] = window
            return found if len(found) == 2 else None

        found = wait_for("the main window and the progress window", windows_of_program)
        main_window, progress = found["main"], found["progress"]

        transient = display.property(progress, "WM_TRANSIENT_FOR")
        owner = re.search(r"0x[0-9a-f]+", transient)
        if not owner or not same_window(owner.group(0), main_window):
            fail("the progress window does not name the main window as its owner: WM_TRANSIENT_FOR is " +
                 (transient or "not set"))

        def progress_above_main():
            stacking = display.windows()
            positions = {w: i for i, w in enumerate(int(v, 16) for v in stacking)}
            low, high = positions.get(int(main_window, 16)), positions.get(int(progress, 16))
            return low is not None and high is not None and high > low

        wait_for("the progress window above the main window", progress_above_main)

        main_box = display.geometry(main_window)
        inside = point_outside(main_box, display.geometry(progress))
        # The title bar sits above the client area, the frame's top extent high.
        top = int(re.findall(r"\d+", display.property(main_window, "_NET_FRAME_EXTENTS"))[2])
        title_bar = (main_box[0] + 60, main_box[1] - max(top // 2, 1))
        for place, (x, y) in (("window", inside), ("title-bar", title_bar)):
            desktops = number_of_desktops(display)
            display.run("xdotool", "mousemove", "--sync", str(x), str(y))
            display.run("xdotool", "click", "1")
            # The window manager handles its events in order: once it has acted on this request,
            # it has also acted on the click before it.
            display.run("xdotool", "set_num_desktops", str(desktops + 1))
            wait_for("the window manager to take the click", lambda: number_of_desktops(display) == desktops + 1)
            if args.screenshots:
                os.makedirs(args.screenshots, exist_ok=True)
                display.run("import", "-window", "root",
                            os.path.join(args.screenshots, "progress-after-%s-click.png" % place))
            if not progress_above_main():
                fail("a click on the main %s buried the progress window (stacking, bottom to top: %s; "
                     "main %s, progress %s)" % (place.replace("-", " "), " ".join(display.windows()),
                                                main_window, progress))

        check_icon(display, main_window, "the main window")
        check_icon(display, progress, "the progress window")
        print("ok: progress window %s stays above main window %s" % (progress, main_window))
    finally:
        EndlessLog.finished.set()
        if program and program.poll() is None:
            program.kill()
            program.wait()
        if display:
            display.close()
        server.shutdown()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
