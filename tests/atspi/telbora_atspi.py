# What the AT-SPI tests share: the phone book started on a copy of a book on
# the X server xvfb-run started (the offscreen platform has no AT-SPI
# bridge), and finding its accessible objects as a screen reader does.
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi


def find(node, matches, depth=0):
    if node is None or depth > 40:
        return None
    try:
        if matches(node):
            return node
        for i in range(node.childCount):
            found = find(node.getChildAtIndex(i), matches, depth + 1)
            if found is not None:
                return found
    except Exception:  # a window going away while it is walked
        return None
    return None


def wait_for(matches, what, seconds=40):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "telbora":
                found = find(app, matches)
                if found is not None:
                    return found
        time.sleep(0.5)
    sys.exit("atspi: %s not found" % what)


class RunningBook:
    """telbora on a copy of `sample`, so that the sample stays as it is."""

    def __init__(self, binary, sample):
        self.scratch = tempfile.mkdtemp()
        book = os.path.join(self.scratch, "book")
        shutil.copytree(sample, book)
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        self.program = subprocess.Popen([binary, "--dir", book], env=env)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.program.terminate()
        self.program.wait(10)
        shutil.rmtree(self.scratch, ignore_errors=True)
        return False
