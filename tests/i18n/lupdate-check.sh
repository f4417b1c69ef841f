#!/usr/bin/env bash
# Runs lupdate over src/ as a translator would and fails when a Korean string literal lies
# outside what it collects: the core's catalogue (PAGELET_TR_NOOP) and the Qt layer's tr().
# The translations in res/translations/ must hold exactly the texts collected, each finished.
# Usage: lupdate-check.sh SOURCE_DIR. Exit 77 (skipped) when lupdate is missing.
set -euo pipefail
src="$1/src"
lupdate="$(command -v lupdate || true)"
[ -n "$lupdate" ] || lupdate=/usr/lib/qt6/bin/lupdate
if [ ! -x "$lupdate" ] || ! command -v python3 >/dev/null; then
    echo "SKIP: lupdate or python3 is missing (Debian: qt6-l10n-tools, python3)"
    exit 77
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$lupdate" -silent -tr-function-alias QT_TRANSLATE_NOOP+=PAGELET_TR_NOOP "$src" -ts "$work/all.ts"

python3 - "$src" "$work/all.ts" "$1"/res/translations/*.ts <<'PY'
import pathlib, re, sys
import xml.etree.ElementTree as ET

src, ts, translations = pathlib.Path(sys.argv[1]), sys.argv[2], sys.argv[3:]

def messages(path):
    xml = pathlib.Path(path).read_text(encoding="utf-8")
    # Control characters are written as <byte value="xd"/> inside a source.
    xml = re.sub(r'<byte value="x([0-9a-fA-F]+)"/>', lambda m: "&#x%s;" % m.group(1), xml)
    for context in ET.fromstring(xml).iter("context"):
        for message in context.iter("message"):
            yield context.findtext("name"), "".join(message.find("source").itertext()), message

collected = [source for _, source, _ in messages(ts)]
print("lupdate collected %d texts" % len(collected))
failed = False
keys = {(c, s) for c, s, _ in messages(ts)}
for path in translations:
    name = pathlib.Path(path).name
    present, unfinished = set(), []
    for context, source, message in messages(path):
        present.add((context, source))
        translation = message.find("translation")
        forms = list(translation.iter("numerusform")) or [translation]
        # lupdate marks a text no longer in the code "vanished" or "obsolete".
        if translation.get("type") or any(not "".join(f.itertext()).strip() for f in forms):
            unfinished.append((context, source))
    problems = (("new in the code, missing from %s (run lupdate on it)" % name, sorted(keys - present)),
                ("in %s, no longer in the code" % name, sorted(present - keys)),
                ("unfinished or obsolete in %s" % name, unfinished))
    for what, entries in problems:
        if entries:
            failed = True
            print("Texts %s:" % what)
            print("\n".join("  %s: %r" % e for e in entries))
    if not any(entries for _, entries in problems):
        print("%s: all %d texts translated" % (name, len(present)))

hangul = re.compile("[\uac00-\ud7af]")
# Comments, character literals and string literals, in one pass so a quote in a comment is no string.
token = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:\\.|[^\\\'])*\'|(?:u8|u|U|L)?"((?:\\.|[^\\"])*)"', re.S)
escapes = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\", "'": "'"}
missing = []
literals = 0
for path in sorted(src.rglob("*")):
    if path.suffix not in (".cpp", ".h"):
        continue
    text = path.read_text(encoding="utf-8")
    for m in token.finditer(text):
        body = m.group(1)
        if body is None or not hangul.search(body):
            continue
        literals += 1
        value = re.sub(r"\\(.)", lambda e: escapes.get(e.group(1), e.group(0)), body)
        if not any(value in s for s in collected):
            line = text.count("\n", 0, m.start()) + 1
            missing.append("%s:%d: %s" % (path.relative_to(src.parent), line, body))
if missing:
    failed = True
    print("Korean texts lupdate does not collect (use the catalogue or tr()):")
    print("\n".join(missing))
else:
    print("all %d Korean string literals are collected" % literals)
sys.exit(1 if failed else 0)
PY
