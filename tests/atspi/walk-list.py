#!/usr/bin/python3
# As a screen reader user walks the entry list: the list takes the focus, ↓
# pressed on the keyboard (xdotool) moves the highlight, and each move is
# heard as a focus event on that row's cell, the row a reader then reads.
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

from telbora_atspi import RunningBook, wait_for

heard = []


def on_focus(event):
    if event.detail1 == 1 and event.source.getRoleName() == "table cell":
        heard.append(event.source.name)


def pump(seconds):
    deadline = time.time() + seconds
    context = GLib.MainContext.default()
    while time.time() < deadline:
        while context.iteration(False):
            pass
        time.sleep(0.02)


with RunningBook(sys.argv[1], sys.argv[2]):
    table = wait_for(lambda n: n.getRoleName() == "table" and n.name == "リスト", "the list")
    cells = table.queryTable()
    expected = [cells.getAccessibleAt(row, 0).name for row in range(3)]
    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    # Keys go to the window under the pointer: there is no window manager.
    extents = table.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(extents.x + extents.width // 2), str(extents.y + 10)], check=True)
    table.queryComponent().grabFocus()
    pump(1)
    # The first key xdotool sends to a fresh Xvfb is lost while the keyboard
    # map settles (with or without this program); Shift goes first for it.
    subprocess.run(["xdotool", "key", "shift"], check=True)
    pump(1)
    for moves in range(1, len(expected) + 1):
        subprocess.run(["xdotool", "key", "Down"], check=True)
        deadline = time.time() + 10
        while len(heard) < moves and time.time() < deadline:
            pump(0.1)
    if heard != expected:
        sys.exit("atspi: heard %s while walking the list, expected %s" % (heard, expected))
    print("atspi: ↓ read the rows %s" % heard)
