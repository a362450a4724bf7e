#!/usr/bin/python3
# Through AT-SPI, as a screen reader does: finds 新規登録 in the running
# phone book, presses it through its action, and waits for the editor's
# ふりがな box, on a copy of the sample book. CTest runs it inside
# dbus-run-session and xvfb-run.
import sys

from telbora_atspi import RunningBook, wait_for

with RunningBook(sys.argv[1], sys.argv[2]):
    button = wait_for(lambda n: n.getRoleName() == "push button" and n.name == "新規登録", "新規登録")
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    press = [i for i, name in enumerate(names) if name.lower() == "press"]
    if not press:
        sys.exit("atspi: 新規登録 has no press action: %s" % names)
    action.doAction(press[0])
    wait_for(lambda n: n.name == "ふりがな" and n.getRoleName() in ("text", "entry"), "the editor's ふりがな box")
    print("atspi: 新規登録 pressed, the editor opened")
