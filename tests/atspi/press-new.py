#!/usr/bin/python3
# Through AT-SPI, as a screen reader does: finds 新規登録 in the running
# phone book, presses it through its action, and waits for the editor's
# ふりがな box, on a copy of the sample book. CTest runs it inside
# dbus-run-session and xvfb-run.
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


binary, sample = sys.argv[1], sys.argv[2]
scratch = tempfile.mkdtemp()
book = os.path.join(scratch, "book")
shutil.copytree(sample, book)  # the sample stays as it is
# On the X server xvfb-run started: the offscreen platform has no AT-SPI bridge.
env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
program = subprocess.Popen([binary, "--dir", book], env=env)
try:
    button = wait_for(lambda n: n.getRoleName() == "push button" and n.name == "新規登録", "新規登録")
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    press = [i for i, name in enumerate(names) if name.lower() == "press"]
    if not press:
        sys.exit("atspi: 新規登録 has no press action: %s" % names)
    action.doAction(press[0])
    wait_for(lambda n: n.name == "ふりがな" and n.getRoleName() in ("text", "entry"), "the editor's ふりがな box")
    print("atspi: 新規登録 pressed, the editor opened")
finally:
    program.terminate()
    program.wait(10)
    shutil.rmtree(scratch, ignore_errors=True)
