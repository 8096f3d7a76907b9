"""Drives the real torvik from outside, as an accessibility tool would.

A Session starts, in private: a virtual X display (Xvfb), a D-Bus session
bus with the accessibility bus, and readersim serving a simulated reader
with the chosen cards. Session.launch() starts torvik there (xcb platform,
accessibility always on) and returns an App, which finds controls by their
automation description "id NNNN", presses buttons and menu items, types
into fields, answers message boxes and takes screenshots.

    with Session(out_dir, cards=["mifare1k"]) as session:
        app = session.launch()
        print(app.answer_box())          # ('ConnectOK', '操作成功!')
        app.press(32921)                 # the Felica toolbar button
        assert app.title().endswith("Felica")

A page's script imports this module and adds its own steps; see
docs/torvik-pages.md. Run directly, the module saves a screenshot of the
main window: python3 torvik_driver.py OUT_DIR --screenshot main.png
"""

import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

pyatspi = None  # imported once the private buses exist
Atspi = None

TIMEOUT = 20.0


class DriverError(AssertionError):
    pass


def wait_until(what, probe, timeout=TIMEOUT, interval=0.05):
    """Calls probe() until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise DriverError("timed out waiting for " + what)
        time.sleep(interval)


def _read_line(fd, timeout, what):
    data = b""
    deadline = time.monotonic() + timeout
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise DriverError("no answer from " + what)
        chunk = os.read(fd, 256)
        if not chunk:
            raise DriverError(what + " ended early")
        data += chunk
    return data.decode().strip()


class Session:
    def __init__(self, out_dir, cards=("mifare1k",), screen="1280x800x24", config_dir=None):
        self.out_dir = os.path.abspath(out_dir)
        self.cards = list(cards)
        self.screen = screen
        self.config_dir = config_dir
        self.processes = []
        self.tmp = None
        self.env = None
        self.sim = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def _spawn(self, args, **kwargs):
        process = subprocess.Popen(args, env=kwargs.pop("env", self.env), **kwargs)
        self.processes.append(process)
        return process

    def start(self):
        global pyatspi, Atspi
        self.tmp = tempfile.mkdtemp(prefix="torvik-atspi-")
        env = dict(os.environ)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "AT_SPI_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS"):
            env.pop(name, None)
        runtime = os.path.join(self.tmp, "runtime")
        devices = os.path.join(self.tmp, "devices")
        for folder in (runtime, devices):
            os.mkdir(folder, 0o700)
        env["XDG_RUNTIME_DIR"] = runtime
        env["XDG_CONFIG_HOME"] = self.config_dir or os.path.join(self.tmp, "config")
        env["XDG_DATA_HOME"] = os.path.join(self.tmp, "data")
        env["TAVOHID_VIRTUAL_DIR"] = devices
        env["NO_AT_BRIDGE"] = "0"
        self.env = env

        read_fd, write_fd = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", self.screen, "-nolisten", "tcp",
                     "-noreset"], pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        os.close(write_fd)
        env["DISPLAY"] = ":" + _read_line(read_fd, 10, "Xvfb")
        os.close(read_fd)

        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        env["DBUS_SESSION_BUS_ADDRESS"] = _read_line(bus.stdout.fileno(), 10, "dbus-daemon")
        self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)

        self.sim_log = os.path.join(self.tmp, "readersim.log")
        args = [self.program("readersim"), "--dir", devices, "--no-flash-file"]
        for card in self.cards:
            args += ["--card", card]
        with open(self.sim_log, "w") as log:
            self.sim = self._spawn(args, stdin=subprocess.PIPE, stdout=log, stderr=subprocess.STDOUT)
        wait_until("readersim", lambda: "serving" in open(self.sim_log).read(), 10)

        # libatspi reads the bus addresses from the environment.
        os.environ.update({k: env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR")})
        if pyatspi is None:
            import gi
            gi.require_version("Atspi", "2.0")
            from gi.repository import Atspi as atspi_module
            import pyatspi as pyatspi_module
            pyatspi, Atspi = pyatspi_module, atspi_module
        wait_until("the accessibility bus", self._desktop_ready, 10)

    def _desktop_ready(self):
        try:
            return pyatspi.Registry.getDesktop(0) is not None
        except Exception:
            return False

    def program(self, name):
        return os.path.join(self.out_dir, name)

    def launch(self, *args, program=None):
        env = dict(self.env)
        env.update({"QT_QPA_PLATFORM": "xcb", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1"})
        log = open(os.path.join(self.tmp, "torvik-%d.log" % len(self.processes)), "w")
        process = self._spawn([program or self.program("torvik")] + list(args), env=env, stdout=log,
                              stderr=subprocess.STDOUT)
        return App(self, process, log.name)

    def readersim(self, line):
        """A line for readersim's console: place, remove, cards ..."""
        self.sim.stdin.write((line + "\n").encode())
        self.sim.stdin.flush()

    def settings_file(self):
        return os.path.join(self.env["XDG_CONFIG_HOME"], "Norvesta", "Zimbrel.ini")

    def screenshot(self, path, rect=None):
        """Saves the screen, or a rectangle (x, y, width, height) of it, as PNG."""
        args = ["import", "-display", self.env["DISPLAY"], "-window", "root"]
        if rect:
            args += ["-crop", "%dx%d+%d+%d" % (rect[2], rect[3], rect[0], rect[1]), "+repage"]
        subprocess.run(args + [path], check=True, env=self.env)
        return path

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self.processes = []
        if self.tmp:
            shutil.rmtree(self.tmp, ignore_errors=True)
            self.tmp = None


class App:
    def __init__(self, session, process, log):
        self.session = session
        self.process = process
        self.log = log
        self.app = wait_until("torvik on the accessibility bus", self._find_app)
        # Method calls time out after 2 s (the default is 25 s): a press
        # that opens a modal window is answered only when it closes.
        Atspi.set_timeout(2000, -1)
        # Read every value afresh: names and states change under us.
        self.app.set_cache_mask(Atspi.Cache.NONE)

    def _find_app(self):
        if self.process.poll() is not None:
            raise DriverError("torvik ended with %s:\n%s" % (self.process.returncode, open(self.log).read()))
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == self.process.pid:
                    return app
            except Exception:
                pass
        return None

    # -- finding ----------------------------------------------------------
    def windows(self):
        try:
            return [w for w in self.app if w is not None]
        except Exception:
            return []

    def _search(self, predicate, root=None):
        roots = [root] if root is not None else self.windows()
        for top in roots:
            stack = [top]
            while stack:
                node = stack.pop()
                try:
                    if predicate(node):
                        return node
                    stack.extend(child for child in node if child is not None)
                except Exception:
                    continue
        return None

    def find(self, id_or_description, root=None, timeout=TIMEOUT, menu=None):
        """The control with description "id N" (or the given description).
        A command has two: menu=True finds its menu item, menu=False its
        toolbar button."""
        description = id_or_description if isinstance(id_or_description, str) else "id %d" % id_or_description

        def matches(node):
            if node.description != description:
                return False
            return menu is None or (node.getRole() == pyatspi.ROLE_MENU_ITEM) == menu

        return wait_until(description, lambda: self._search(matches, root), timeout)

    def menu_item(self, command_id):
        return self.find(command_id, menu=True)

    def button(self, command_id):
        return self.find(command_id, menu=False)

    def window(self, name, timeout=TIMEOUT):
        return wait_until("window " + name, lambda: next((w for w in self.windows() if w.name == name), None),
                          timeout)

    def frame(self):
        return wait_until("the main window",
                          lambda: next((w for w in self.windows() if w.getRole() == pyatspi.ROLE_FRAME), None))

    def title(self):
        return self.frame().name

    # -- reading ----------------------------------------------------------
    def text(self, target):
        node = self.find(target) if not hasattr(target, "name") else target
        try:
            text = node.queryText()
            return text.getText(0, text.characterCount)
        except NotImplementedError:
            return node.name

    def result(self):
        """The result strip's text."""
        return self.find("result").name

    def states(self, target):
        node = self.find(target) if not hasattr(target, "name") else target
        return node.getState()

    def checked(self, target):
        states = self.states(target)
        return states.contains(pyatspi.STATE_CHECKED) or states.contains(pyatspi.STATE_PRESSED)

    def enabled(self, target):
        return self.states(target).contains(pyatspi.STATE_ENABLED)

    def extents(self, node):
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return (box.x, box.y, box.width, box.height)

    # -- acting -----------------------------------------------------------
    def press(self, target):
        """Presses a button or a menu item (by id, description or node)."""
        node = self.find(target) if not hasattr(target, "name") else target
        action = node.queryAction()
        names = [action.getName(i).lower() for i in range(action.nActions)]
        for wanted in ("press", "click", "toggle", "showmenu"):
            if wanted in names:
                break
        else:
            raise DriverError("%s has no press action (%s)" % (node.description, names))
        try:
            action.doAction(names.index(wanted))
        except Exception as error:
            # A button whose command opens a modal dialog or message box
            # answers only when that closes; the press has happened.
            if "Did not receive a reply" not in str(error):
                raise

    def type_into(self, target, text):
        node = self.find(target) if not hasattr(target, "name") else target
        node.queryEditableText().setTextContents(text)

    def boxes(self):
        """Open message boxes: dialogs with an OK or Cancel button."""
        found = []
        for window in self.windows():
            try:
                if window.getRole() not in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT) \
                        or window.description.startswith("id "):
                    continue
                if self._search(lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name in ("OK", "Cancel"),
                                window):
                    found.append(window)
            except Exception:
                continue  # a window closing under us
        return found

    def answer_box(self, button="OK", timeout=TIMEOUT):
        """Waits for a message box, presses its button; returns (caption, text)."""
        box = wait_until("a message box", lambda: (self.boxes() or [None])[0], timeout)
        caption = box.name
        labels = []
        stack = [box]
        while stack:
            node = stack.pop()
            for child in node:
                if child is None:
                    continue
                if child.getRole() == pyatspi.ROLE_LABEL and child.name:
                    labels.append(child.name)
                stack.append(child)
        target = self._search(lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == button, box)
        if target is None:
            raise DriverError("message box %r has no %s button" % (caption, button))
        self.press(target)
        wait_until("the message box to close", lambda: box not in self.boxes())
        return caption, "\n".join(labels)

    def wait_result(self, expected, timeout=TIMEOUT):
        wait_until("result %r (now %r)" % (expected, self.result()), lambda: self.result() == expected, timeout)

    def screenshot(self, node, name):
        path = os.path.join(self.session.out_dir, name)
        time.sleep(0.3)  # let the last paint reach the screen
        return self.session.screenshot(path, self.extents(node))

    def quit(self, timeout=TIMEOUT):
        """File / Exit; returns the exit code."""
        self.press(57665)
        return self.process.wait(timeout)


def main(argv):
    import argparse
    parser = argparse.ArgumentParser(description="Screenshot of torvik's main window against readersim")
    parser.add_argument("out_dir", help="the folder of torvik and readersim (a build's out/ or an installed bin/)")
    parser.add_argument("--screenshot", required=True, help="PNG file to write")
    parser.add_argument("--card", action="append", default=None)
    options = parser.parse_args(argv)
    with Session(options.out_dir, cards=options.card or ["mifare1k"]) as session:
        app = session.launch()
        caption, text = app.answer_box()
        if caption != "ConnectOK":
            raise DriverError("torvik said %r: %r" % (caption, text))
        frame = app.frame()
        app.find(130)  # the page is up
        time.sleep(0.3)
        session.screenshot(options.screenshot, app.extents(frame))
        app.quit()
    print(os.path.abspath(options.screenshot))


if __name__ == "__main__":
    main(sys.argv[1:])
