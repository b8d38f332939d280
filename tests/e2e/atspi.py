"""The Wayland run's hands: the program's accessibility interface (AT-SPI), as a screen reader uses it.
Each argument is a step, done in order; the first that fails ends the run with status 1. Steps:
shows:NAME (an element of that name shows, within 20 s), press:NAME (a button that shows, or else a menu
item), text:N:VALUE (the Nth text box that shows and takes input, from 0, set to VALUE), in:NAME (later
steps look only in the window of that name)."""
import sys
import time

import pyatspi

scope = None


def elements(node, only_showing, depth=0):
    if node is None or depth > 30:
        return
    try:
        if depth and only_showing and not node.getState().contains(pyatspi.STATE_SHOWING):
            return
    except Exception:  # an element gone meanwhile
        return
    yield node
    for child in node:
        yield from elements(child, only_showing, depth + 1)


def find(test, seconds=5.0, only_showing=True):
    deadline = time.monotonic() + seconds
    while True:
        apps = [app for app in pyatspi.Registry.getDesktop(0) if app is not None and app.name == "TROVIX"]
        roots = [n for app in apps for n in elements(app, True) if scope is None or n.name == scope]
        found = [node for node in elements(roots[0] if roots else None, only_showing) if test(node)]
        if found or time.monotonic() > deadline:
            return found
        time.sleep(0.1)


def step(kind, rest):
    if kind == "shows":
        return find(lambda n: n.name == rest, 20)
    if kind == "press":
        nodes = find(lambda n: n.name == rest and n.getRoleName() == "push button", 1) or find(
            lambda n: n.name == rest and n.getRoleName() == "menu item", only_showing=False)
        return nodes and nodes[0].queryAction().doAction(0)
    index, _, value = rest.partition(":")
    boxes = find(lambda n: n.getState().contains(pyatspi.STATE_EDITABLE) and n.getRoleName() == "text")
    return len(boxes) > int(index) and boxes[int(index)].queryEditableText().setTextContents(value)


for command in sys.argv[1:]:
    kind, _, rest = command.partition(":")
    if kind == "in":
        scope = rest
    elif not step(kind, rest):
        sys.exit(f"the program did not take the step {command}")
    time.sleep(0.3)
