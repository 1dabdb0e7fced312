#!/usr/bin/python3
"""Reads the game's window through AT-SPI, as a screen reader does, and plays the first word.

Run by atspi_game.sh on an X server and a D-Bus session of its own:
    atspi_game.py VREL WORD_POOL WORK_FOLDER [DUMP_FOLDER]
The game is started as a solo game; the script finds the board (a table named "Board"), presses
START GAME through its "Press" action and the options dialog's START GAME the same way, reads the
first masked word from the board's first cell, types the pool's words that fit it until one is
accepted, and expects to hear that, told by the widget with the keys as an AT-SPI event (on
Debian 12's Qt a change of its description, on later Qt an announcement).
"""
import os
import re
import signal
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

vrel, pool_path, work = sys.argv[1:4]
dump = sys.argv[4] if len(sys.argv) > 4 else ""

heard = []  # (event type, text, role of the widget that spoke, its name)


def fail(message):
    print("atspi_game: " + message, file=sys.stderr)
    if heard:
        print("atspi_game: heard " + repr(heard[-5:]), file=sys.stderr)
    try:
        with open(os.path.join(work, "game.log"), errors="replace") as said:
            print("atspi_game: the game's last words:\n" + "".join(said.readlines()[-40:]), file=sys.stderr)
    except OSError:
        pass
    sys.exit(1)


def on_news(event):
    try:
        text = event.any_data if isinstance(event.any_data, str) and event.any_data else event.source.description
        heard.append((event.type, (text or "").strip(), event.source.getRoleName(), event.source.name))
    except Exception as error:  # the widget may be gone already
        heard.append((event.type, "", "", str(error)))


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)


def wait_for(look, what, timeout=30):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if game.poll() is not None:
            fail("the game ended (exit status %s) while waiting for %s" % (game.returncode, what))
        try:
            found = look()
        except Exception:  # the tree changes while it is read
            found = None
        if found:
            return found
        pump(0.1)
    fail("no " + what)


def walk(node, depth=0):
    yield node, depth
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child, depth + 1)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find(root, role, name=None):
    for node, _ in walk(root):
        if node.getRole() == role and (name is None or node.name == name) and showing(node):
            return node
    return None


def the_game():
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is not None and (application.name or "").lower() == "vrel":
            return application
    return None


def window(title):
    for index in range(application.childCount):
        frame = application.getChildAtIndex(index)
        if frame is not None and frame.name == title and showing(frame):
            return frame
    return None


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        fail('"%s" has no "Press" action, only %s' % (node.name, names))
    action.doAction(names.index("Press"))


def cell(row, column):
    return board.queryTable().getAccessibleAt(row, column).name


def tree_text():
    lines = []
    for node, depth in walk(application):
        line = "%s%s \"%s\"" % ("  " * depth, node.getRoleName(), node.name)
        if node.description:
            line += " - " + node.description
        if not showing(node):
            line += " (hidden)"
        lines.append(line)
    return "\n".join(lines) + "\n"


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True, timeout=30)


pyatspi.Registry.registerEventListener(on_news, "object:property-change:accessible-description",
                                       "object:announcement")
home = os.path.join(work, "home")
os.makedirs(home)
environment = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   VREL_HOME=home, VREL_LOCAL_ONLY="1")
log = open(os.path.join(work, "game.log"), "w")
game = subprocess.Popen([vrel, "--port", "0"], env=environment, stdout=log, stderr=subprocess.STDOUT)
try:
    application = wait_for(the_game, "game on the accessibility bus")
    main = wait_for(lambda: window("Vrel"), 'window "Vrel"')
    board = wait_for(lambda: find(main, pyatspi.ROLE_TABLE, "Board"), 'table "Board"')
    table = board.queryTable()
    if (table.nRows, table.nColumns) != (10, 2):
        fail("the board is %d by %d cells" % (table.nRows, table.nColumns))
    players = wait_for(lambda: find(main, pyatspi.ROLE_LIST, "THE PLAYERS"), 'list "THE PLAYERS"')
    wait_for(lambda: players.getChildAtIndex(0).name.startswith("You, 0 points"), "You in the first seat")

    press(wait_for(lambda: find(main, pyatspi.ROLE_PUSH_BUTTON, "START GAME"), "START GAME button"))
    options = wait_for(lambda: window("Vrel - Game Start"), "game options dialog")
    press(wait_for(lambda: find(options, pyatspi.ROLE_PUSH_BUTTON, "START GAME"), "dialog's START GAME"))

    shape = re.compile(r"^word 1 of 10, ((?:[A-Z]|blank)(?: |$)){5}$")
    first = wait_for(lambda: cell(0, 0) if shape.match(cell(0, 0)) else None, "masked first word")
    letters = first[len("word 1 of 10, "):].split(" ")
    if "blank" not in letters:
        fail("the first word has no blank: " + first)
    pattern = re.compile("^" + "".join("." if l == "blank" else l.lower() for l in letters) + "$")
    with open(pool_path) as pool:
        candidates = [w.strip() for w in pool if pattern.match(w.strip())]
    if not candidates:
        fail("no word of the pool fits " + first)
    print("atspi_game: the board reads \"%s\"; trying %s" % (first, candidates))

    # No window manager here: the window is given the keyboard directly.
    xdotool("search", "--sync", "--onlyvisible", "--name", "^Vrel$", "windowfocus", "--sync")
    accepted = None
    for word in candidates:
        before = len(heard)
        xdotool("type", "--delay", "40", word)
        xdotool("key", "Return")
        said = wait_for(lambda: [h for h in heard[before:] if " accepted" in h[1] or " refused" in h[1]],
                        "verdict on " + word.upper(), timeout=10)
        if said[0][1].startswith(word.upper() + " accepted"):
            accepted = said[0]
            break
    if accepted is None:
        fail("none of %s was accepted" % candidates)
    print("atspi_game: heard %r" % (accepted,))
    if not accepted[1].startswith("%s accepted. Word 2 of 10, " % word.upper()):
        fail("the news was " + accepted[1])
    if not accepted[3].startswith("your word for word "):
        fail("the news came from %s \"%s\", not the widget with the keys" % (accepted[2], accepted[3]))
    if cell(0, 1) != "your word: %s, accepted" % word.upper():
        fail("the board's cell reads " + cell(0, 1))
    if dump:
        os.makedirs(dump, exist_ok=True)
        with open(os.path.join(dump, "accessibility-tree.txt"), "w") as out:
            out.write(tree_text())
    print("atspi_game: ok")
finally:
    game.terminate()
    try:
        game.wait(timeout=20)
    except subprocess.TimeoutExpired:
        game.kill()
        game.wait()
if game.returncode < 0 and game.returncode != -signal.SIGTERM:
    fail("the game crashed on its way out (signal %d)" % -game.returncode)
