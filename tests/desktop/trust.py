#!/usr/bin/env python3
"""A seeded random walk over what a person and the world do to a diary, on the real program.

Each step is one action: typing, storing, a change of day, SIGKILL and a restart answering the
crash journal's question with Yes, No or closing it, restoring a version while editing, an import,
another writer's page written or removed, sync tools' conflict copies of pages and memos, a memo
replaced behind the window's back, the data folder moved away and back. A model keeps every word
and every memo that must survive; after every step each of them must be in a file of its day (the
page, a conflict copy, the journal or the history) and every page file must decode.

Usage: trust.py BUILD_DIR --seed N --steps N [--keep DIR]. Run under an X server (trust.sh).
"""
import argparse
import datetime
import glob
import hashlib
import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

PAGE_LIMIT = 64 << 20


class Failure(Exception):
    pass


def encode_page(text, weather=0):
    units = text.encode("utf-16-le")
    return struct.pack("<ii", weather, len(units) // 2) + units


def decode_page(raw):
    """The page's text, or None when the bytes are no page (as the program's own reader)."""
    if len(raw) < 8:
        return None
    weather, length = struct.unpack("<ii", raw[:8])
    if length <= 0:
        return "" if len(raw) == 8 and length == 0 else None
    body = raw[8:8 + 2 * length]
    return body[: len(body) // 2 * 2].decode("utf-16-le", errors="replace")


def make_wav(tag):
    """A short 16-bit mono WAV whose samples carry the tag, so each memo is told apart by its bytes."""
    rnd = random.Random(tag)
    samples = bytes(rnd.getrandbits(8) for _ in range(800))
    fmt = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, 1, 8000, 16000, 2, 16)
    data = struct.pack("<4sI", b"data", len(samples)) + samples
    return struct.pack("<4sI4s", b"RIFF", 4 + len(fmt) + len(data), b"WAVE") + fmt + data


def write_atomically(path, raw):
    tmp = path + ".tmp-outside"
    with open(tmp, "wb") as f:
        f.write(raw)
    os.replace(tmp, path)


def key_of(day):
    return day.strftime("%Y%m%d")


class Diary:
    """One user's install, the running program and the files it keeps."""

    def __init__(self, build, work):
        self.build = build
        self.work = work
        home = os.path.join(work, "home")
        self.env = dict(os.environ)
        self.env.update(
            HOME=home,
            XDG_CONFIG_HOME=os.path.join(home, "config"),
            XDG_DATA_HOME=os.path.join(home, "data"),
            XDG_STATE_HOME=os.path.join(home, "state"),
            XDG_CACHE_HOME=os.path.join(home, "cache"),
        )
        self.env.pop("QT_QPA_PLATFORM", None)
        for d in ("config", "data", "state", "cache"):
            os.makedirs(os.path.join(home, d), exist_ok=True)
        install = os.path.join(self.env["XDG_DATA_HOME"], "Pagelet")
        subprocess.run([os.path.join(build, "bin", "pagelet-setup"), "--program-path", install],
                       env=self.env, check=True, stdout=subprocess.DEVNULL)
        self.data = os.path.join(install, "diary")
        self.state = os.path.join(self.env["XDG_STATE_HOME"], "Pagelet")
        self.proc = None
        self.window = None
        self.stderr = open(os.path.join(work, "stderr"), "ab")

    # The program and its windows.
    def windows(self):
        if not self.proc:
            return []
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid), "--name", "."],
                             capture_output=True, text=True).stdout.split()
        return out

    def geometry(self, win):
        out = subprocess.run(["xdotool", "getwindowgeometry", win], capture_output=True, text=True).stdout
        for line in out.splitlines():
            if "Geometry:" in line:
                return line.split()[-1]
        return ""

    def dialogs(self):
        return [w for w in self.windows() if w != self.window and self.geometry(w) != "240x270"]

    def start(self):
        for _ in range(3):  # a start right after a client left may not reach the display
            self.proc = subprocess.Popen([os.path.join(self.build, "bin", "pagelet")], env=self.env,
                                         stdout=subprocess.DEVNULL, stderr=self.stderr)
            deadline = time.time() + 15
            while time.time() < deadline and self.proc.poll() is None:
                for w in self.windows():
                    if self.geometry(w) == "240x270":
                        self.window = w
                        return
                if self.dialogs():
                    return  # a question before the window
                time.sleep(0.1)
            self.kill()
        raise Failure("the program showed no window")

    def kill(self):
        if self.proc:
            self.proc.kill()
            self.proc.wait()
        self.proc = None
        self.window = None

    def terminate(self):
        self.proc.send_signal(signal.SIGTERM)
        try:
            status = self.proc.wait(timeout=15)
        except subprocess.TimeoutExpired:
            self.record_stall()
            self.kill()
            raise Failure("SIGTERM did not end the program (windows, screenshot and stacks in stall-*)")
        self.proc = None
        self.window = None
        if status != 0:
            raise Failure(f"SIGTERM ended the program with {status}")

    def record_stall(self):
        """What the program was doing when it would not end: taken before the kill."""
        names = [f"{w} {self.geometry(w)} " + subprocess.run(["xdotool", "getwindowname", w], capture_output=True,
                                                             text=True).stdout.strip() for w in self.windows()]
        with open(os.path.join(self.work, "stall-windows.txt"), "w") as f:
            f.write("\n".join(names) + "\n")
        subprocess.run(["import", "-window", "root", os.path.join(self.work, "stall-screen.png")], check=False)
        if shutil.which("gdb"):
            with open(os.path.join(self.work, "stall-stacks.txt"), "w") as f:
                subprocess.run(["gdb", "-batch", "-p", str(self.proc.pid), "-ex", "thread apply all bt"],
                               stdout=f, stderr=subprocess.STDOUT, timeout=120, check=False)

    def find_main(self):
        for w in self.windows():
            if self.geometry(w) == "240x270":
                self.window = w
                return w
        return None

    def key(self, *keys, win=None):
        subprocess.run(["xdotool", "key", "--window", win or self.window, *keys], check=False)

    def focus(self, win=None):
        subprocess.run(["xdotool", "windowfocus", "--sync", win or self.window], check=False)

    def type(self, text):
        self.focus()
        subprocess.run(["xdotool", "mousemove", "--window", self.window, "120", "150", "click", "1"], check=False)
        subprocess.run(["xdotool", "key", "--clearmodifiers", "ctrl+e"], check=False)
        subprocess.run(["xdotool", "key", "ctrl+End"], check=False)
        subprocess.run(["xdotool", "type", "--delay", "12", text], check=False)

    def press(self, *keys):
        self.focus()
        subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=False)

    # Files of a day, wherever they are kept.
    def day_files(self, key, ext):
        places = [os.path.join(self.data, f"{key}*{ext}"),
                  os.path.join(self.state, "journal", "*", f"{key}*{ext}"),
                  os.path.join(self.state, "history", "*", f"{key}*{ext}")]
        found = []
        for p in places:
            found += [f for f in glob.glob(p) if not f.endswith(".tmp-outside")]
        return found


class Model:
    """What must survive: words by day, with where they came from, and memos by their hash."""

    def __init__(self):
        self.words = {}  # word -> (day key, typed?)
        self.typed_at = {}  # word -> when it was typed: the journal keeps it a second later
        self.memos = {}  # md5 -> day key, oldest first

    def keep(self, word, key, typed):
        self.words[word] = (key, typed)
        if typed:
            self.typed_at[word] = time.time()

    def drop_day(self, key, only):
        for w in [w for w, (k, _) in self.words.items() if k == key and w in only]:
            del self.words[w]


class Walk:
    def __init__(self, build, seed, steps, work):
        self.rnd = random.Random(seed)
        self.seed = seed
        self.steps = steps
        self.diary = Diary(build, work)
        self.model = Model()
        self.today = datetime.date.today()
        self.shown = self.today
        self.step = 0
        self.checked = 0
        self.where, self.versions, self.aged = {}, set(), 0  # where each memo was at the last check
        self.asked_again = 0
        self.pending_question = False  # a journal left unanswered: the next start must ask
        self.trace = []

    def word(self, kind):
        return f"{kind}{self.seed}x{self.step}"

    def page_text(self, key):
        try:
            with open(os.path.join(self.diary.data, key + ".dry"), "rb") as f:
                return decode_page(f.read()) or ""
        except FileNotFoundError:
            return ""

    def text_of(self, path):
        try:
            with open(path, "rb") as f:
                return decode_page(f.read()) or ""
        except OSError:
            return ""

    def settle(self, answer_default="escape", wait=1.2):
        """Answers whatever the window asks or says until it has been quiet for a while."""
        quiet_since = time.time()
        deadline = time.time() + 20
        while time.time() < deadline:
            if self.diary.proc and self.diary.proc.poll() is not None:
                raise Failure(f"the program ended by itself with {self.diary.proc.returncode}")
            boxes = self.diary.dialogs()
            if boxes:
                self.diary.focus(boxes[0])
                key = {"yes": "Return", "no": "n", "escape": "Escape"}[answer_default]
                subprocess.run(["xdotool", "key", key], check=False)
                time.sleep(0.4)
                quiet_since = time.time()
                continue
            if self.diary.window is None:
                self.diary.find_main()
            if time.time() - quiet_since > wait:
                return
            time.sleep(0.1)
        raise Failure("a dialog would not close")

    # Actions.
    def act_type(self):
        w = self.word("t")
        key = key_of(self.shown)
        self.diary.type(" " + w)
        self.model.keep(w, key, True)
        # The journal has it within a second or two of the keys: wait for that, so a word that
        # never reached the page is told apart from one lost later.
        deadline = time.time() + 4
        while not any(w in self.text_of(p) for p in self.diary.day_files(key, ".dry")):
            if time.time() > deadline:
                raise Failure(f"'{w}', typed on {key}, never reached the journal")
            time.sleep(0.2)

    def act_store(self):
        self.diary.press("ctrl+s")
        self.settle()

    def act_day(self):
        forward = self.rnd.random() < 0.5
        self.diary.press("ctrl+Next" if forward else "ctrl+Prior")
        self.settle(self.rnd.choice(["yes", "escape"]))
        self.shown += datetime.timedelta(days=1 if forward else -1)

    def journals(self):
        """Day key -> the journal's text, for the journals unlike their pages: the next start asks."""
        out = {}
        for path in glob.glob(os.path.join(self.diary.state, "journal", "*", "*.dry")):
            key = os.path.basename(path)[:8]
            text = self.text_of(path)
            if text.replace("\r\n", "\n").split() != self.page_text(key).replace("\r\n", "\n").split():
                out[key] = text
        return out

    def only_in_journal(self, key, journal):
        """The kept words of a day that no file of it holds but its journal."""
        others = [self.text_of(p) for p in self.diary.day_files(key, ".dry") if "/journal/" not in p]
        return {w for w, (k, _) in self.model.words.items() if k == key and w in journal and not any(w in t for t in others)}

    def act_kill(self):
        time.sleep(2.2)  # the journal is at most a second or two behind the keys
        self.diary.kill()
        answer = self.rnd.choice(["yes", "no", "escape"])
        pending = self.journals()
        if answer == "no" and len(pending) != 1:
            answer = "escape"  # which day a No gives up is only known with one day asked about
        self.diary.start()
        asked = self.wait_question()
        if pending and not asked:
            raise Failure(f"journals of {sorted(pending)} unlike their pages, and the start asked nothing")
        if asked:
            if self.pending_question:
                self.asked_again += 1
            if answer == "no":
                ((key, journal),) = pending.items()
                self.model.drop_day(key, self.only_in_journal(key, journal))
            self.settle(answer)
            self.pending_question = answer == "escape" and bool(pending)
        if not self.diary.find_main():
            raise Failure("no diary window after the start")
        self.shown = self.today if not asked or answer != "yes" else self.shown_after_yes(pending)
        self.settle()

    def shown_after_yes(self, pending):
        # The oldest day is asked first, and Yes shows it: the others wait for the next start.
        return datetime.datetime.strptime(min(pending), "%Y%m%d").date() if pending else self.today

    def wait_question(self):
        deadline = time.time() + 4
        while time.time() < deadline:
            if self.diary.dialogs():
                return True
            time.sleep(0.1)
        return False

    def act_restore(self):
        key = key_of(self.shown)
        if not glob.glob(os.path.join(self.diary.state, "history", "*", key + "-*.dry")):
            return self.act_type()
        self.act_type()
        self.diary.press("ctrl+h")
        time.sleep(0.6)
        boxes = self.diary.dialogs()
        if not boxes:
            raise Failure("Ctrl+H opened no history window")
        self.diary.focus(boxes[0])
        subprocess.run(["xdotool", "key", "Return"], check=False)
        self.settle("yes")

    def act_import(self):
        day = self.shown + datetime.timedelta(days=self.rnd.choice([0, 0, 1, -1]))
        w = self.word("i")
        path = os.path.join(self.diary.work, "import.txt")
        with open(path, "w") as f:
            f.write(f"[{day.isoformat()} 10:{self.step % 60:02d}] {w}\n\nbody {w}\n")
        r = subprocess.run([os.path.join(self.diary.build, "bin", "pagelet"), "--import", path, "--data", self.diary.data],
                           env=self.diary.env, capture_output=True, text=True, timeout=60)
        if r.returncode != 0:
            raise Failure(f"--import exited {r.returncode}: {r.stderr.strip()}")
        self.model.keep(w, key_of(day), False)
        self.settle()

    def act_outside_write(self):
        day = self.shown + datetime.timedelta(days=self.rnd.choice([0, 0, 1]))
        key = key_of(day)
        w = self.word("o")
        text = self.page_text(key)
        write_atomically(os.path.join(self.diary.data, key + ".dry"), encode_page(text + "\r\n" + w))
        self.model.keep(w, key, False)
        self.settle(self.rnd.choice(["yes", "escape"]))

    def act_outside_delete(self):
        day = self.shown + datetime.timedelta(days=self.rnd.choice([0, 1, -1]))
        key = key_of(day)
        path = os.path.join(self.diary.data, key + ".dry")
        if not os.path.exists(path):
            return self.act_outside_write()
        # What the other machine removed is gone by its will; what was never stored is still ours.
        text = self.page_text(key)
        os.remove(path)
        self.model.drop_day(key, {w for w in self.model.words if w in text})
        self.settle()

    def act_conflict_copy(self):
        day = self.shown + datetime.timedelta(days=self.rnd.choice([0, 0, 1]))
        key = key_of(day)
        w = self.word("c")
        stamp = datetime.datetime.now()
        name = self.rnd.choice([
            f"{key}.sync-conflict-{stamp:%Y%m%d-%H%M%S}-ABCDEF{self.step % 10}.dry",
            f"{key} (conflicted copy {stamp:%Y-%m-%d %H%M%S}).dry",
            f"{key} (laptop{self.step}'s conflicted copy {stamp:%Y-%m-%d}).dry",
        ])
        write_atomically(os.path.join(self.diary.data, name), encode_page(self.page_text(key) + "\r\n" + w))
        self.model.keep(w, key, False)
        # Shown again, the day offers it.
        self.diary.press("ctrl+Next")
        self.settle()
        self.diary.press("ctrl+Prior")
        self.settle(self.rnd.choice(["yes", "escape", "no"]))

    def act_memo(self):
        key = key_of(self.shown)
        raw = make_wav(f"{self.seed}-{self.step}")
        memo = os.path.join(self.diary.data, key + ".wav")
        if os.path.exists(memo) and self.rnd.random() < 0.5:
            stamp = datetime.datetime.now()
            name = f"{key}.sync-conflict-{stamp:%Y%m%d-%H%M%S}-MEMO{self.step % 10}.wav"
            write_atomically(os.path.join(self.diary.data, name), raw)
        else:
            write_atomically(memo, raw)  # a new memo, or one replaced by the sync engine
        self.model.memos[hashlib.md5(raw).hexdigest()] = key
        self.settle(self.rnd.choice(["yes", "escape", "no"]))

    def act_folder_away(self):
        # What another writer did before is merged and said at this store, not at the one after.
        self.diary.press("ctrl+s")
        self.settle()
        away = self.diary.data + ".away"
        os.rename(self.diary.data, away)
        time.sleep(1.5)
        os.rename(away, self.diary.data)
        time.sleep(1.5)
        self.diary.press("ctrl+s")
        if self.wait_question():
            raise Failure("the folder moved away and back, and the window said something at the next store")
        self.settle()

    ACTIONS = [
        (act_type, 30), (act_store, 8), (act_day, 10), (act_kill, 8), (act_restore, 5),
        (act_import, 5), (act_outside_write, 6), (act_outside_delete, 3), (act_conflict_copy, 5),
        (act_memo, 4), (act_folder_away, 2),
    ]

    # The check after every step.
    def check(self):
        texts = {}
        for path in glob.glob(os.path.join(self.diary.data, "*.dry")) + \
                glob.glob(os.path.join(self.diary.state, "journal", "*", "*.dry")) + \
                glob.glob(os.path.join(self.diary.state, "history", "*", "*.dry")):
            with open(path, "rb") as f:
                raw = f.read()
            text = decode_page(raw)
            if text is None:
                raise Failure(f"{path} does not decode")
            texts[path] = text
        for w, (key, _) in self.model.words.items():
            if time.time() - self.model.typed_at.get(w, 0) < 2.5:
                continue
            self.checked += 1
            if not any(w in texts.get(p, "") for p in self.diary.day_files(key, ".dry")):
                raise Failure(f"'{w}' of {key} is in no page, copy, journal or version")
        versions = set(glob.glob(os.path.join(self.diary.state, "history", "*", "*.wav")))
        added = versions - self.versions
        where = {}
        for digest, key in list(self.model.memos.items()):
            for p in self.diary.day_files(key, ".wav"):
                with open(p, "rb") as f:
                    if hashlib.md5(f.read()).hexdigest() == digest:
                        where[digest] = p
                        break
            if digest in where:
                continue
            # The history keeps a memo's newest three versions: a version pushed out by one of its
            # day kept in this very step has aged out; gone any other way, it is lost.
            ofDay = [p for p in versions if os.path.basename(p).startswith(key)]
            if self.where.get(digest) in self.versions and len(ofDay) >= 3 and \
                    any(os.path.basename(p).startswith(key) for p in added):
                del self.model.memos[digest]
                self.aged += 1
                continue
            raise Failure(f"a memo of {key} ({digest[:8]}) is in no memo, copy or version")
        self.where, self.versions = where, versions

    def run(self):
        self.diary.start()
        self.settle()
        if not self.diary.find_main():
            raise Failure("no diary window")
        actions, weights = zip(*self.ACTIONS)
        for self.step in range(1, self.steps + 1):
            action = self.rnd.choices(actions, weights)[0]
            self.last = action.__name__
            self.trace.append(f"{self.step} {self.last} on {key_of(self.shown)}")
            action(self)
            if self.diary.proc is None or self.diary.proc.poll() is not None:
                raise Failure("the program is gone")
            self.check()
        self.diary.terminate()
        self.check()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--steps", type=int, default=40)
    ap.add_argument("--keep", help="keep the run's folder here")
    args = ap.parse_args()
    work = args.keep or tempfile.mkdtemp(prefix="pagelet-trust-")
    os.makedirs(work, exist_ok=True)
    walk = Walk(os.path.abspath(args.build), args.seed, args.steps, work)
    try:
        walk.run()
    except Failure as f:
        print(f"FAIL: seed {args.seed}, step {walk.step} ({getattr(walk, 'last', 'start')}): {f}")
        print("the last steps: " + "; ".join(walk.trace[-12:]))
        subprocess.run(["import", "-window", "root", os.path.join(work, "failed.png")], check=False)
        print(f"the run's files are in {work}")
        walk.diary.kill()
        return 1
    finally:
        walk.diary.kill()
    print(f"seed {args.seed}: {walk.steps} steps, {len(walk.model.words)} words and {len(walk.model.memos)} memos kept "
          f"({walk.aged} aged out of the history), {walk.checked} word checks, 0 lost, the closed question asked again {walk.asked_again} times")
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
