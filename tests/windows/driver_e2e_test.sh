#!/usr/bin/env bash
# morvane-convert.exe from the unpacked Windows package, under Wine (WINEPREFIX
# set by scripts/test-windows.sh, nothing on WINEPATH): a GB2312-form page
# with Chinese text and CR LF line ends, under a Chinese file name, converted
# to its UTF-8 form into a folder (-o), in place (-i) and through standard
# input and output, each result compared byte for byte; a reader of standard
# output that leaves early; --check refused with its message; the UTF-8 form
# back to the GB2312 form. Wine has no code page 54936 (GB18030), by which a
# page that declares gb2312 is read as browsers read it: the driver reads it
# through code page 936 there. Prints "ok <check>" per check.
# Needs E2E_CONVERT (the .exe), E2E_OUT (a folder for its files), WINE.
set -euo pipefail
: "${E2E_CONVERT:?}" "${E2E_OUT:?}" "${WINE:?}"

# Wine hands the arguments to the program in the Unix locale's charset: UTF-8 for the
# Chinese name.
export LC_ALL=C.UTF-8
fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok $*"; }

work=$E2E_OUT/driver-e2e
rm -rf "$work"
mkdir -p "$work/out"
cd "$work"
name=中文页面.wml
printf '<?xml version="1.0" encoding="gb2312"?>\r\n<wml><card><p>\xd6\xd0\xce\xc4 &amp; ok</p></card></wml>\r\n' >"$name"
printf '<?xml version="1.0" encoding="utf-8"?>\r\n<wml><card><p>&#x4E2D;&#x6587; &amp; ok</p></card></wml>\r\n' >expected.wml
cp "$name" original.wml
convert() { "$WINE" "$E2E_CONVERT" --gb-to-utf "$@"; }

convert -o out "$name" 2>err-o.txt || fail "-o: status $? ($(cat err-o.txt))"
cmp -s out/"$name" expected.wml || fail "-o: out/$name differs from the expected UTF-8 form"
cmp -s "$name" original.wml || fail "-o changed its input"
ok "-o DIR: $name converted under its own name, byte for byte"

convert -i "$name" 2>err-i.txt || fail "-i: status $? ($(cat err-i.txt))"
cmp -s "$name" expected.wml || fail "-i: $name differs from the expected UTF-8 form"
[ "$(find . -maxdepth 1 -name '.*morvane-*' | wc -l)" -eq 0 ] || fail "-i left a temporary file"
ok "-i: $name replaced by its UTF-8 form, no temporary file left"

convert <original.wml >stdout.wml 2>err-s.txt || fail "standard output: status $?"
cmp -s stdout.wml expected.wml || fail "standard output differs from the expected UTF-8 form"
ok "standard input to standard output, byte for byte"

# A reader that leaves early: the program stops quietly with status 1.
python3 -c 'import sys; sys.stdout.write("<p>&#x4E2D;</p>\n" * 400000)' >long.wml
set +e
"$WINE" "$E2E_CONVERT" --decode long.wml 2>err-p.txt | head -c 100 >/dev/null
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 1 ] || [ -s err-p.txt ]; then
  fail "reader gone: status $status, $(cat err-p.txt)"
fi
ok "a reader that leaves early: status 1, no message"

status=0
"$WINE" "$E2E_CONVERT" --gb-to-utf --check original.wml >/dev/null 2>err-c.txt || status=$?
[ "$status" -eq 2 ] || fail "--check: status $status, expected 2"
grep -q -- '--check is not available on Windows' err-c.txt || fail "--check: $(cat err-c.txt)"
ok "--check refused with status 2: $(tr -d '\r' <err-c.txt)"

"$WINE" "$E2E_CONVERT" --utf-to-gb <expected.wml >back.wml 2>err-b.txt || fail "--utf-to-gb: status $? ($(cat err-b.txt))"
# The GB2312 form writes every reference as its character, &amp; too.
printf '<?xml version="1.0" encoding="gb2312"?>\r\n<wml><card><p>\xd6\xd0\xce\xc4 & ok</p></card></wml>\r\n' >expected-gb.wml
cmp -s back.wml expected-gb.wml || fail "--utf-to-gb: the GB2312 form differs from the expected bytes"
ok "--utf-to-gb: the UTF-8 form back to GB2312 bytes, byte for byte"
