#!/usr/bin/python3
"""Reads a running Pagelet over AT-SPI as a screen reader would, and works it the same way.

Usage: accessibility.py ko|en DIARY_DIR. Pagelet must be starting on today's empty page on the
display and accessibility bus of this session. Prints the named and unnamed objects of every
window it opens; exits 1 on the first check that fails.
"""
import datetime
import os
import subprocess
import sys
import time

import pyatspi

from atspi_tree import showing, walk

LANG, DIARY = sys.argv[1], sys.argv[2]
KO = LANG == "ko"
T = {
    "prev": ("이전 날", "Previous Day"), "next": ("다음 날", "Next Day"), "calendar": ("달력", "Calendar"),
    "save": ("저장", "Save"), "edit": ("편집", "Edit"), "delete": ("이 날 지우기", "Delete This Day"),
    "settings": ("설정", "Settings"), "find": ("찾기", "Find"), "weather": ("날씨", "Weather"),
    "weather_line": ("날씨: 맑음", "Weather: Sunny"), "has_page": ("일기 있음", "has a page"),
    "found": ("찾은 날", "found"), "prev_month": ("이전 달", "Previous Month"), "next_month": ("다음 달", "Next Month"),
    "settings_caption": ("환경 설정", "Settings"), "data": ("데이터", "Data"), "backups": ("백업 폴더", "Backups"),
    "cancel": ("취  소", "Cancel"), "find_what": ("찾는 단어", "Find what"), "find_button": ("찾   기", "Find"),
    "search_all": ("모든 일기에서 찾기", "Search All Pages"), "use_password": ("비밀번호 사용", "Use password"),
    "set": ("설  정", "Set..."), "new_password": ("새 비밀번호 입력", "New Password"), "password": ("패스워드", "Password"),
    "memo": ("음성 메모", "Voice Memo"), "record": ("녹음", "Record"), "stop": ("정지", "Stop"), "play": ("재생", "Play"),
    "recorder_cancel": ("취소", "Cancel"),
}
WORD = "a11y"


def t(key):
    return T[key][0 if KO else 1]


def words(day):
    if KO:
        return "%d년 %d월 %d일 %s요일" % (day.year, day.month, day.day, "월화수목금토일"[day.weekday()])
    return day.strftime("%A, ") + "%d %s %d" % (day.day, day.strftime("%B"), day.year)


def fail(message):
    print("FAIL (%s): %s" % (LANG, message))
    sys.exit(1)


def wait(what, probe, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        try:
            found = probe()
        except Exception:  # an object that went away mid-walk
            found = None
        if found:
            return found
        time.sleep(0.1)
    fail("waited in vain for " + what)


def app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        a = desktop.getChildAtIndex(i)
        if a is not None and a.name == "Pagelet" and a.childCount:
            return a
    return None


def find(root, role, name=None, where=showing):
    for o in walk(root):
        if o.getRoleName() == role and (name is None or o.name == name) and where(o):
            return o
    return None


def window(name_start):
    a = app()
    if a is None:
        return None
    for i in range(a.childCount):
        w = a.getChildAtIndex(i)
        if w is not None and w.name.startswith(name_start) and showing(w):
            return w
    return None


def press(obj, how="Press"):
    action = obj.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == how:
            action.doAction(i)
            return
    fail("%s %r has no press" % (obj.getRoleName(), obj.name))


def sensitive(obj):
    return obj.getState().contains(pyatspi.STATE_SENSITIVE)


def count(title, root):
    """Prints how many objects of a window are named; the fields and buttons must all be."""
    named, unnamed = 0, {}
    for o in walk(root):
        if o.name:
            named += 1
        else:
            unnamed[o.getRoleName()] = unnamed.get(o.getRoleName(), 0) + 1
    print("COUNT %s %s: named %d, unnamed %d %s" % (LANG, title, named, sum(unnamed.values()), unnamed))
    for role in ("push button", "text", "password text", "combo box", "check box", "table cell", "label"):
        if role in unnamed and not (role == "label" and title.startswith("settings")):
            fail("%s: %d unnamed %s" % (title, unnamed[role], role))


def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)


def focus_main():
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Pagelet$", "windowfocus", "--sync"], check=True,
                   stdout=subprocess.DEVNULL)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "30", text], check=True)


today = datetime.date.today()
main = wait("the main window named after today", lambda: window("Pagelet - " + words(today)))
if main.name != "Pagelet - " + words(today):
    fail("window named %r" % main.name)

# Every drawn button with its name, key and state; the date and weather as labels.
buttons = {o.name: o for o in walk(main) if o.getRoleName() == "push button"}
for name in (t("prev"), t("next"), t("calendar"), t("save"), t("weather"), t("delete"), t("settings"), t("find")):
    if name not in buttons:
        fail("no button %r among %s" % (name, sorted(buttons)))
    if "+" not in buttons[name].queryAction().getKeyBinding(0):
        fail("button %r has no key" % name)
if sensitive(buttons[t("delete")]) or not sensitive(buttons[t("weather")]):
    fail("an empty page being written: delete greyed, weather not")
if not find(main, "label", words(today)) or not find(main, "label", t("weather_line")):
    fail("the date or the weather is no label: %s" % [o.name for o in walk(main) if o.getRoleName() == "label"])
page = find(main, "text", (words(today) + "의 일기") if KO else "Page of " + words(today))
if not page:
    fail("the page is not named after the day: %s" % [o.name for o in walk(main) if o.getRoleName() == "text"])
count("main window", main)

# The day buttons pressed over AT-SPI move the day, and the window's name follows.
tomorrow = today + datetime.timedelta(days=1)
press(buttons[t("next")])
wait("the next day's name", lambda: window("Pagelet - " + words(tomorrow)))
wait("the date label to follow", lambda: find(main, "label", words(tomorrow)))
press(buttons[t("prev")])
wait("today's name again", lambda: window("Pagelet - " + words(today)))

# Written and saved through the save button: the page is stored; the button is edit now.
focus_main()
type_text(WORD + " page")
press(buttons[t("save")])
stored = os.path.join(DIARY, today.strftime("%Y%m%d") + ".dry")
wait("the page stored", lambda: os.path.exists(stored))
with open(stored, "rb") as f:
    text = f.read()[8:].decode("utf-16-le")
if text != WORD + " page":
    fail("the stored page holds %r" % text)
wait("the save button renamed edit", lambda: find(main, "push button", t("edit")))
wait("the weather greyed once stored", lambda: not sensitive(find(main, "push button", t("weather"))))

# The calendar: each day says its date and whether it has a page; pressing one shows it.
press(find(main, "push button", t("calendar")))
table = wait("the calendar's days", lambda: find(main, "table"))
count("calendar", table)
cells = {o.name: o for o in walk(table) if o.getRoleName() == "table cell"}
if words(today) + ", " + t("has_page") not in cells or words(tomorrow) not in cells:
    fail("calendar days read %s" % sorted(cells)[:5])
press(cells[words(tomorrow)])
wait("the day pressed in the calendar shown", lambda: window("Pagelet - " + words(tomorrow)))
wait("the calendar closed", lambda: find(main, "table") is None)
press(find(main, "push button", t("prev")))
wait("today again", lambda: window("Pagelet - " + words(today)))

# Settings: its fields read their labels.
press(find(main, "push button", t("settings")))
settings = wait("the settings dialog", lambda: window(t("settings_caption")))
for field in (t("data"), t("backups")):
    if not find(settings, "text", field):
        fail("settings: no field named %r" % field)
count("settings dialog", settings)
# The new password's dialog, over the settings: both its fields read their labels.
box = find(settings, "check box", t("use_password"))
if not box.getState().contains(pyatspi.STATE_CHECKED):
    press(box, "Toggle")
wait("set enabled", lambda: sensitive(find(settings, "push button", t("set"))))
press(find(settings, "push button", t("set")))
fresh = wait("the new password dialog", lambda: window(t("new_password")))
if len([o for o in walk(fresh) if o.getRoleName() == "password text" and o.name]) != 2:
    fail("new password: %s" % [(o.getRoleName(), o.name) for o in walk(fresh) if "text" in o.getRoleName()])
count("new password dialog", fresh)
press(find(fresh, "push button", t("cancel")))
wait("the new password dialog closed", lambda: window(t("new_password")) is None)
press(find(settings, "push button", t("cancel")))
wait("the settings closed", lambda: window(t("settings_caption")) is None)

# The recorder: its picture buttons are named.
press(find(main, "push button", t("memo")))
recorder = wait("the recorder", lambda: next((w for w in walk(app()) if w.getRoleName() == "dialog" and w.name == "Pagelet"
                                              and showing(w)), None))
for name in (t("record"), t("stop"), t("play")):
    if not find(recorder, "push button", name, where=lambda o: True):
        fail("recorder: no button named %r" % name)
count("recorder", recorder)
press(find(recorder, "push button", t("recorder_cancel"), where=lambda o: True))
wait("the recorder closed", lambda: not showing(recorder))

# Find: the word's field and the month arrows are named; the found day is marked.
press(find(main, "push button", t("find")))
finder = wait("the find dialog", lambda: window(t("find")))
for role, name in (("text", t("find_what")), ("push button", t("prev_month")), ("push button", t("next_month"))):
    if not find(finder, role, name):
        fail("find: no %s named %r" % (role, name))
type_text(WORD)
press(find(finder, "push button", t("find_button")))
wait("today marked found", lambda: find(finder, "table cell", words(today) + ", " + t("found")))
count("find dialog", finder)
press(find(finder, "push button", t("cancel")))
wait("the find dialog closed", lambda: window(t("find")) is None)

# Search All: its field is named and a row reads its date and line.
focus_main()
key("ctrl+shift+f")
search = wait("the search window", lambda: window(t("search_all")))
if not find(search, "text", t("find_what")):
    fail("search: the word's field is unnamed")
type_text(WORD)
row_prefix = ("%d년 %d월 %d일 (%s) " % (today.year, today.month, today.day, "월화수목금토일"[today.weekday()]) if KO
              else "%s, %d/%d/%d " % (today.strftime("%a"), today.month, today.day, today.year))
row = wait("a row with its line", lambda: next((o for o in walk(search) if o.getRoleName() in ("list item", "table cell")
                                               and o.name.startswith(row_prefix) and o.name.endswith(WORD + " page")), None))
count("search window", search)
print("PASS (%s): %d buttons named and pressed, the window named after the day, calendar, settings, find and search read"
      % (LANG, len(buttons)))
