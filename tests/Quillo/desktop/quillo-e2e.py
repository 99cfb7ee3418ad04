#!/usr/bin/python3
"""Quillo as a user meets it: the tray icon opens the panel, which shows the
remembered group and what it plays; Next, the volume and a chosen favorite
reach the speakers; a click elsewhere closes the panel.

Run by run-quillo-e2e.sh, which provides the desktop, the simulated household
(QUILLO_SIM_ADDRESS) and the running program (QUILLO_PID). What the speakers
did is read back with zonescout, as another controller would see it.
"""

import json
import os
import re
import subprocess
import sys
import time

import pyatspi

BIN = os.environ["QUILLO_BIN"]
SIM = os.environ["QUILLO_SIM_ADDRESS"]
QUILLO_PID = int(os.environ["QUILLO_PID"])
ROOM = "Salon Café"


class Failure(Exception):
    pass


def wait(condition, seconds, what):
    """The first true value of `condition`, polled until the deadline."""
    deadline = time.monotonic() + seconds
    last_error = None
    while time.monotonic() < deadline:
        try:
            value = condition()
            if value:
                return value
        except Exception as error:  # a node can vanish between two reads
            last_error = error
        if not alive():
            raise Failure(f"quillo ended while waiting for {what}")
        time.sleep(0.05)
    raise Failure(f"timed out waiting for {what}" + (f" (last error: {last_error})" if last_error else ""))


def alive():
    try:
        os.kill(QUILLO_PID, 0)
    except ProcessLookupError:
        return False
    return True


def zonescout(*arguments):
    result = subprocess.run([os.path.join(BIN, "zonescout"), "--host", SIM, "--room", ROOM, "--json", *arguments],
                            capture_output=True, text=True, timeout=20)
    if result.returncode != 0:
        raise Failure(f"zonescout {' '.join(arguments)} failed: {result.stderr.strip()}")
    return json.loads(result.stdout)


def tray_icon():
    """The icon's window embedded in trayer's panel: (x, y, width, height)."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    geometry = r"\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)"
    panel = re.search(r'"panel": \("panel" "trayer"\)' + geometry, tree)
    if not panel:
        return None
    pw, ph, px, py = map(int, panel.groups())
    # Until trayer has embedded it, the icon sits unmapped at the origin.
    for match in re.finditer(r'\("quillo" "quillo"\)' + geometry, tree):
        w, h, x, y = map(int, match.groups())
        if px <= x < px + pw and py <= y < py + ph:
            return x, y, w, h
    return None


def click_at(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)


def click(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    click_at(e.x + e.width // 2, e.y + e.height // 2)


def application():
    return next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "quillo"), None)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find(root, role, name, seconds=10):
    return wait(lambda: pyatspi.findDescendant(root, lambda n: n.getRole() == role and n.name == name and showing(n)),
                seconds, f"a shown {role} {name!r}")


def combo_text(combo):
    # A combo box carries its shown entry in the text field inside it.
    field = combo.getChildAtIndex(0)
    return field.queryText().getText(0, -1) if field is not None else ""


def choose(panel, combo_name, entry):
    combo = find(panel, pyatspi.ROLE_COMBO_BOX, combo_name)
    click(combo)
    item = find(panel, pyatspi.ROLE_MENU_ITEM, entry)
    click(item)
    wait(lambda: combo_text(combo) == entry, 10, f"{combo_name} showing {entry!r}")


def panel_window_visible():
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Quillo$"], capture_output=True, text=True)
    return result.stdout.strip() != ""


def main():
    x, y, w, h = wait(tray_icon, 30, "the tray icon inside trayer")
    app = wait(application, 30, "quillo on the accessibility bus")
    if panel_window_visible():
        raise Failure("the panel is open before the icon was clicked")

    click_at(x + w // 2, y + h // 2)
    panel = wait(lambda: next((f for f in app if f is not None and f.getRole() == pyatspi.ROLE_FRAME
                               and f.name == "Quillo" and showing(f)), None), 15, "the panel")

    group = find(panel, pyatspi.ROLE_COMBO_BOX, "Group")
    wait(lambda: combo_text(group) == "Salon Café + 1", 15, "the remembered group in the picker")
    before = zonescout("status")
    find(panel, pyatspi.ROLE_LABEL, before["title"], 15)
    find(panel, pyatspi.ROLE_LABEL, before["artist"])
    print(f"panel: {combo_text(group)}, {before['title']} by {before['artist']}")

    click(find(panel, pyatspi.ROLE_PUSH_BUTTON, "Next"))
    after = wait(lambda: (s := zonescout("status"))["title"] != before["title"] and s, 15, "Next reaching the group")
    find(panel, pyatspi.ROLE_LABEL, after["title"], 15)
    print(f"next: {after['title']}")

    slider = find(panel, pyatspi.ROLE_SLIDER, "Volume")
    target = 60 if zonescout("volume")["volume"] != 60 else 45
    slider.queryValue().currentValue = float(target)
    wait(lambda: zonescout("volume")["volume"] == target, 15, f"the group volume reaching {target}")
    print(f"volume: {target}")

    choose(panel, "Provider", "TuneIn")
    choose(panel, "Favorite", "FIP")
    click(find(panel, pyatspi.ROLE_PUSH_BUTTON, "Play this selection"))
    playing = wait(lambda: (s := zonescout("status"))["transportState"] == "PLAYING" and s["title"] == "FIP" and s,
                   15, "FIP playing on the group")
    find(panel, pyatspi.ROLE_LABEL, "FIP", 15)
    print(f"playing: {playing['title']}")

    # A click on the desktop away from the panel closes it.
    e = panel.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    click_at(max(5, e.x - 200), e.y + e.height + 200)
    wait(lambda: not panel_window_visible(), 10, "the panel closing after a click elsewhere")
    wait(lambda: not showing(panel), 10, "the panel leaving the accessible desktop")
    print("closed")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
