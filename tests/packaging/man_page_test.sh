#!/usr/bin/env bash
# Keeps the morvane-convert manual page in step with the program: the options
# in "morvane-convert --help" and in the page must be the same set, the page's
# version must be the program's, and the page must render without warnings and
# give whatis/apropos a NAME line.
#
# Environment: MORVANE_CONVERT (the binary), MAN_PAGE (the troff source), PROJECT_VERSION.
set -euo pipefail
: "${MORVANE_CONVERT:?}" "${MAN_PAGE:?}" "${PROJECT_VERSION:?}"

fail() { echo "FAIL: $*" >&2; exit 1; }
options() { grep -oE -- '--[a-z][a-z0-9-]*' | sort -u; }

# An option is documented where a line of --help starts with it (a one-letter
# form first, as in "-o, --output-dir DIR"), and where a tagged paragraph (.TP)
# of the page has it in its tag; in troff a hyphen in an option is written \-.
# Options named in running text (iconv --list) do not count.
short_options() { grep -oE -- '(^|[ ,])-[A-Za-z]([ ,]|$)' | tr -d ' ,' | sort -u; }
help_lines=$("$MORVANE_CONVERT" --help | grep -E '^ +(-[A-Za-z], )?--')
page_lines=$(awk 'tag && /^\.B[IR]? \\-/ {print} {tag = ($0 == ".TP")}' "$MAN_PAGE" |
  sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/"//g' -e 's/^\.B[IR]* //')
help_options=$(options <<<"$help_lines")
page_options=$(options <<<"$page_lines")
help_short=$(short_options <<<"$help_lines")
page_short=$(short_options <<<"$page_lines")
[ "$help_short" = "$page_short" ] ||
  fail "one-letter options differ: --help has $(echo $help_short), the page $(echo $page_short)"
for must in --help --version --encode --decode; do
  grep -qxF -- "$must" <<<"$help_options" || fail "--help does not list $must"
done
missing=$(comm -23 <(echo "$help_options") <(echo "$page_options"))
[ -z "$missing" ] || fail "options in --help but not in the manual page: $missing"
extra=$(comm -13 <(echo "$help_options") <(echo "$page_options"))
[ -z "$extra" ] || fail "options in the manual page but not in --help: $extra"

[ "$("$MORVANE_CONVERT" --version)" = "morvane-convert $PROJECT_VERSION" ] ||
  fail "--version does not say $PROJECT_VERSION"
grep -q "^\.TH MORVANE-CONVERT 1 .*\"Morvane $PROJECT_VERSION\"" "$MAN_PAGE" ||
  fail "the manual page's .TH line does not name section 1 and version $PROJECT_VERSION"

# Render with every formatter present; any warning fails.
renderers=0
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=all -E UTF-8 -l "$MAN_PAGE" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man -l warns: $warnings"
  renderers=$((renderers + 1))
fi
if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$MAN_PAGE" 2>&1)
  [ -z "$warnings" ] || fail "groff warns: $warnings"
  renderers=$((renderers + 1))
fi
if command -v mandoc >/dev/null; then
  mandoc -T lint -W warning "$MAN_PAGE" || fail "mandoc -T lint warns"
  renderers=$((renderers + 1))
fi
[ "$renderers" -gt 0 ] || fail "no manual page formatter (man, groff or mandoc) is installed"
if command -v lexgrog >/dev/null; then
  lexgrog "$MAN_PAGE" | grep -q '"morvane-convert - ' || fail "lexgrog finds no NAME line"
fi
echo "manual page: $(wc -w <<<"$help_options") options in step, rendered by $renderers formatter(s)"
