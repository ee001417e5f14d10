#!/usr/bin/env python3
"""A run over several files with standard error on a terminal shows its
progress there, on one line that each message and the end of the run clear;
the results are the same as without a terminal.

Usage: progress_test.py path/to/morvane-convert
"""
import os
import pty
import shutil
import subprocess
import sys
import tempfile


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def main():
    binary = os.path.realpath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="morvane-progress-")
    try:
        paths = []
        for name, page in [("a.wml", "<p>中</p>"), ("bad.wml", "<p>\xff</p>"), ("c.wml", "<p>文</p>")]:
            paths.append(os.path.join(work, name))
            with open(paths[-1], "wb") as f:
                f.write(page.encode("utf-8") if name != "bad.wml" else b"<p>\xff</p>")
        leader, follower = pty.openpty()
        run = subprocess.run([binary, "--encode", "-i", *paths], stderr=follower,
                             stdout=subprocess.DEVNULL)
        os.close(follower)
        shown = b""
        while True:
            try:
                piece = os.read(leader, 65536)
            except OSError:
                break
            if not piece:
                break
            shown += piece
        os.close(leader)
        text = shown.decode("utf-8", "replace")
        clear = "\r\x1b[K"
        if run.returncode != 1:
            fail(f"status {run.returncode}, expected 1 for the bad file")
        if f"morvane-convert: 0/3 {paths[0]}" not in text:
            fail(f"no progress line on the terminal: {text!r}")
        if not text.endswith(clear):
            fail(f"the progress line is not cleared at the end: {text!r}")
        message = text.find("morvane-convert: " + paths[1])
        if message < len(clear) or text[message - len(clear):message] != clear:
            fail(f"the error message does not start on a cleared line: {text!r}")
        with open(paths[2], "rb") as f:
            if f.read() != b"<p>&#x6587;</p>":
                fail("the last file was not converted")
        print("progress shown and cleared on the terminal")
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
