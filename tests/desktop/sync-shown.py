#!/usr/bin/python3
"""Reads the page a running Pagelet's window shows over AT-SPI and compares it with a page file.

sync-shown.py PAGE_FILE [SECONDS]
sync-shown.py --questions
Run on the machine's display and session bus, with Pagelet started accessible. The window may
still be loading what Syncthing brought, so the text is read again until it matches or the
seconds (10 by default) are over. Prints what the window shows; exits 1 when it differs from the
file's text, or when a message box still stands over the window. With --questions, prints the
text of each window standing beside the diary's instead.
"""
import struct
import sys
import time

import pyatspi

from atspi_tree import showing, walk

PAGE, SECONDS = sys.argv[1], float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
QUESTIONS = PAGE == "--questions"


def stored_text():
    with open(PAGE, "rb") as f:
        data = f.read()
    _, length = struct.unpack("<ii", data[:8])
    # Stored with CR LF; the editor has one paragraph break for it.
    return data[8:8 + 2 * length].decode("utf-16-le").replace("\r\n", "\n")


def windows():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is None or app.name != "Pagelet":
            continue
        for j in range(app.childCount):
            w = app.getChildAtIndex(j)
            if w is not None and showing(w):
                yield w


def shown():
    """The main window's page text, and the names of any other windows that stand open."""
    page, others = None, []
    for w in windows():
        # The diary's window is named after its day; a message box or the recorder is not.
        if w.name.startswith("Pagelet - "):
            texts = [o for o in walk(w) if o.getRoleName() == "text" and showing(o)]
            if len(texts) == 1:
                page = texts[0].queryText().getText(0, -1)
        else:
            labels = [o.name for o in walk(w) if o.getRoleName() == "label" and o.name]
            others.append("%s %r %s" % (w.getRoleName(), w.name, " / ".join(labels).replace("\n", " ")))
    return page, others


if QUESTIONS:
    print("\n".join(shown()[1]))
    sys.exit(0)


end = time.time() + SECONDS
want = None
while True:
    try:
        want = stored_text()
        page, others = shown()
    except Exception as e:  # a file being replaced or an object that went away mid-walk
        page, others = None, ["unread: %s" % e]
    if page == want and not others:
        print("the window shows %r" % page)
        sys.exit(0)
    if time.time() > end:
        break
    time.sleep(0.3)
print("the window shows %r%s\nthe page file holds %r" % (page, " under " + ", ".join(others) if others else "", want))
sys.exit(1)
