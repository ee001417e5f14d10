#!/usr/bin/env python3
"""An in-place run of morvane-convert over many pages, killed with SIGKILL at
random moments: every page must be byte for byte its old or its new content,
never cut short or empty; at most the one temporary file being renamed at the
moment of the kill may be left, named .NAME.morvane-XXXXXX; and the next run
in the folder removes it and converts what is left.

Usage: killed_in_place_test.py path/to/morvane-convert
"""
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

PAGES = 400
ROUNDS = 6
TEMPORARY = re.compile(r"^\..+\.morvane-[A-Za-z0-9]{6}$")


def page(seed):
    rng = random.Random(seed)
    words = ["新闻", "天气", "体育", "财经", "手机", "下载", "論壇", "café", "&amp;", "A & B"]
    cards = []
    while sum(map(len, cards)) < 2500:  # about 8 KB of UTF-8
        text = " ".join(rng.choice(words) for _ in range(rng.randint(5, 30)))
        cards.append(f'<card id="c{len(cards)}"><p>{text}</p></card>\n')
    return ("<wml>\n" + "".join(cards) + "</wml>\n").encode("utf-8")


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def main():
    binary = os.path.realpath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="morvane-killed-")
    try:
        olds = [page(i % 25) for i in range(PAGES)]
        news = {}
        for old in set(olds):
            news[old] = subprocess.run([binary, "--encode"], input=old, capture_output=True,
                                       check=True).stdout
        names = [f"page{i:04}.wml" for i in range(PAGES)]
        paths = [os.path.join(work, name) for name in names]

        def reset():
            for path, old in zip(paths, olds):
                with open(path, "wb") as f:
                    f.write(old)

        reset()
        started = time.monotonic()
        subprocess.run([binary, "--encode", "-i", *paths], check=True)
        whole = time.monotonic() - started

        rng = random.Random()
        mixed_rounds = 0
        for _ in range(ROUNDS):
            reset()
            child = subprocess.Popen([binary, "--encode", "-i", *paths],
                                     stderr=subprocess.DEVNULL)
            time.sleep(rng.uniform(0.05, 0.95) * whole)
            child.send_signal(signal.SIGKILL)
            child.wait()

            converted = 0
            for path, old in zip(paths, olds):
                with open(path, "rb") as f:
                    now = f.read()
                if now == news[old]:
                    converted += 1
                elif now != old:
                    fail(f"{path} is neither its old nor its new content ({len(now)} bytes)")
            if 0 < converted < PAGES:
                mixed_rounds += 1
            left = sorted(set(os.listdir(work)) - set(names))
            for name in left:
                if not TEMPORARY.match(name):
                    fail(f"unexpected file {name} after the kill")
            if len(left) > 1:
                fail(f"more than the one file being renamed was left: {left}")

            # The next run removes what the killed one left, and finishes the job.
            subprocess.run([binary, "--encode", "-i", *paths], check=True,
                           stderr=subprocess.DEVNULL)
            left = sorted(set(os.listdir(work)) - set(names))
            if left:
                fail(f"the next run left {left}")
        if mixed_rounds == 0:
            fail("no kill fell inside the run; the test proved nothing")
        print(f"{ROUNDS} kills over {PAGES} pages ({whole:.2f} s a run), "
              f"{mixed_rounds} part-way: every page whole")
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
