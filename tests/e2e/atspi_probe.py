#!/usr/bin/python3
"""Prints what the accessibility bus shows of one running morvane, a line per
widget, for the end-to-end scripts to read with awk:

    window X Y W H NAME         the main window (client area), NAME its title
    pane X Y W H TEXT           the multi-line text boxes now showing, top to bottom
    status X Y W H TEXT         the single-line boxes now showing, left to right
    button X Y W H NAME         push buttons (caption without "&")
    check X Y W H 0|1 NAME      check boxes, 1 when ticked
    combo X Y W H ENTRY         combo boxes; ENTRY is the current entry, if any

X Y W H are screen pixels. In TEXT, backslash, line feed, carriage return and
tab are written \\\\ \\n \\r \\t. Usage: atspi_probe.py PID. Exit status 1 while the
program with that process id is not on the bus (or shows no window yet).

atspi_probe.py --focusable PID prints instead, for every window of the program
now showing, a line per control in it that is showing and can take the focus,
tab-separated, in tree order:

    WINDOW-TITLE<TAB>ROLE<TAB>NAME<TAB>DESCRIPTION
"""

import sys

import pyatspi


def escape(text):
    return (text.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r")
            .replace("\t", "\\t"))


def extents(acc):
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (e.x, e.y, e.width, e.height)


def text_of(acc):
    try:
        return acc.queryText().getText(0, -1)
    except NotImplementedError:
        return ""


def current_entry(combo):
    """The entry a combo box shows: the selected one of its list (its name
    is the combo box's own)."""
    for lst in combo:
        if lst is None:
            continue
        for item in lst:
            if item is not None and item.getState().contains(pyatspi.STATE_SELECTED):
                return item.name
    return ""


def collect(acc, rows):
    role = acc.getRole()
    states = acc.getState()
    showing = states.contains(pyatspi.STATE_SHOWING)
    if role == pyatspi.ROLE_TEXT:
        if showing:
            kind = "pane" if states.contains(pyatspi.STATE_MULTI_LINE) else "status"
            rows.append((kind, extents(acc), escape(text_of(acc))))
        return  # its scroll bars are of no interest
    if role == pyatspi.ROLE_PUSH_BUTTON:
        rows.append(("button", extents(acc), acc.name))
    elif role == pyatspi.ROLE_CHECK_BOX:
        ticked = "1" if states.contains(pyatspi.STATE_CHECKED) else "0"
        rows.append(("check", extents(acc), ticked + " " + acc.name))
    elif role == pyatspi.ROLE_COMBO_BOX:
        rows.append(("combo", extents(acc), current_entry(acc)))
        return  # the entries of its list
    for child in acc:
        if child is not None:
            collect(child, rows)


def focusable(acc, rows):
    states = acc.getState()
    if not states.contains(pyatspi.STATE_SHOWING):
        return
    if states.contains(pyatspi.STATE_FOCUSABLE):
        rows.append((acc.getRoleName(), acc.name, acc.description))
        if acc.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_COMBO_BOX):
            return  # its scroll bars or its list's entries
    for child in acc:
        if child is not None:
            focusable(child, rows)


def print_focusable(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None or app.get_process_id() != pid:
            continue
        found = False
        for window in app:
            if window is None or not window.getState().contains(pyatspi.STATE_SHOWING):
                continue
            found = True
            rows = []
            for child in window:
                if child is not None:
                    focusable(child, rows)
            for role, name, description in rows:
                print("\t".join(escape(t) for t in (window.name, role, name, description)))
        return 0 if found else 1
    return 1


def main():
    if sys.argv[1] == "--focusable":
        return print_focusable(int(sys.argv[2]))
    pid = int(sys.argv[1])
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None or app.get_process_id() != pid:
            continue
        for window in app:
            if window is None or not window.getState().contains(pyatspi.STATE_SHOWING):
                continue
            if not window.name.startswith("Morvane"):
                continue
            print("window %d %d %d %d %s" % (extents(window) + (window.name,)))
            rows = []
            for child in window:
                if child is not None:
                    collect(child, rows)
            order = {"pane": lambda r: r[1][1], "status": lambda r: r[1][0]}
            for kind in ("pane", "status", "button", "check", "combo"):
                picked = [r for r in rows if r[0] == kind]
                if kind in order:
                    picked.sort(key=order[kind])
                for _, (x, y, w, h), rest in picked:
                    print("%s %d %d %d %d %s" % (kind, x, y, w, h, rest))
            return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
