#!/usr/bin/env bash
# A whole site through morvane-convert: 10,000 generated Chinese WML pages of
# about 8 KB each (GB2312 bytes, the GB2312 form), converted to the UTF-8 form
# in place, once by one run over all of them and once by one process per page
# (xargs -n 1), and the one run again with --check. Not a test: it prints
# pages per second. Every in-place replacement syncs the file and its folder,
# so the figures include one fsync(2) a page (and one of the folder at the end
# of each run) on the file system of the working folder.
#
# Usage: bench/many_pages_bench.sh [path/to/morvane-convert]
#   Without a path it builds a Release binary in $MORVANE_BENCH_BUILD
#   (default build/driver-bench). MORVANE_BENCH_PAGES sets the number of pages
#   (default 10000), MORVANE_BENCH_RUNS the timed runs of each way (default 3),
#   MORVANE_BENCH_DIR the folder the pages are written under (default: a new
#   folder under $TMPDIR, else /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=driver_binary.sh
source bench/driver_binary.sh "${1:-}"
pages="${MORVANE_BENCH_PAGES:-10000}"
runs="${MORVANE_BENCH_RUNS:-3}"

work="$(mktemp -d "${MORVANE_BENCH_DIR:-${TMPDIR:-/tmp}}/morvane-pages-XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir "$work/pristine" "$work/site"

# Pages of news cards: Chinese titles and sentences, links with query strings,
# entities, bare ampersands, tab indentation, CR LF lines; each page differs.
python3 - "$work/pristine" "$pages" <<'PY'
import os, random, sys
folder, pages = sys.argv[1], int(sys.argv[2])
rng = random.Random(20261208)
common = ("的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动"
          "同工也能下过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二"
          "理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义")
def sentence(n):
    return "".join(rng.choice(common) for _ in range(n)) + "。"
head = ('<?xml version="1.0" encoding="gb2312"?>\r\n'
        '<!DOCTYPE wml PUBLIC "-//WAPFORUM//DTD WML 1.1//EN" '
        '"http://www.wapforum.org/DTD/wml_1.1.xml">\r\n<wml>\r\n')
for n in range(pages):
    body, c = [], 0
    while sum(map(len, body)) < 5800:  # about 8 KB once encoded as GB2312
        body.append(f'<card id="c{c}" title="{sentence(4)[:-1]}">\r\n<p>\r\n'
                    f'\t<b>{sentence(rng.randint(4, 10))}</b><br/>\r\n'
                    f'\t\t{sentence(rng.randint(30, 90))} R&D &amp; Q&A &lt;{n}&gt;<br/>\r\n'
                    f'\t<a href="news.wml?id={n}&amp;c={c}">{sentence(3)[:-1]}</a>&nbsp;<br/>\r\n'
                    '</p>\r\n</card>\r\n')
        c += 1
    with open(os.path.join(folder, f"page{n:05}.wml"), "wb") as f:
        f.write((head + "".join(body) + "</wml>\r\n").encode("gb2312"))
PY
total_bytes=$(du -sb "$work/pristine" | cut -f1)
args=(--gb-to-utf --from-charset GB2312)

reset() { rm -rf "$work/site"; cp -r "$work/pristine" "$work/site"; sync; }

# Prints "wall cpu" in seconds for the command (a function below, run in a child bash so that
# GNU time sees it and every process it starts), the pages reset (and synced) before it.
timed() {
  reset
  /usr/bin/time -f '%e %U %S' -o "$work/time" bash -c "$(declare -f "$1"); $(declare -p work binary args); $1" >/dev/null
  awk '{print $1, $2 + $3}' "$work/time"
}

one_run() { (cd "$work/site" && "$binary" "${args[@]}" -i ./*.wml); }
one_run_checked() { (cd "$work/site" && "$binary" "${args[@]}" --check -i ./*.wml 2>/dev/null || [ $? -eq 3 ]); }
per_page() { find "$work/site" -name '*.wml' -print0 | xargs -0 -n 1 "$binary" "${args[@]}" -i; }

# The result must be what the single-page run writes.
reset
one_run
expected=$("$binary" "${args[@]}" "$work/pristine/page00000.wml" | sha256sum)
[ "$(sha256sum <"$work/site/page00000.wml")" = "$expected" ] || { echo "wrong result" >&2; exit 1; }

echo "$pages pages, $((total_bytes / pages)) bytes a page on average, in $(df -T "$work" | awk 'NR == 2 {print $2}') ($work)"
uptime
printf '%-18s %s\n' way 'wall (cpu) seconds of each run -> pages/s on the best, on the mean; cpu ms a page'
for way in one_run per_page one_run_checked; do
  times=()
  for _ in $(seq "$runs"); do
    times+=("$(timed "$way")")
  done
  python3 - "$way" "$pages" "${times[@]}" <<'PY'
import statistics, sys
way, pages = sys.argv[1], int(sys.argv[2])
runs = [tuple(float(x) for x in t.split()) for t in sys.argv[3:]]
wall = [w for w, _ in runs]
print(f"{way:<18} {' '.join(f'{w:.2f} ({c:.2f})' for w, c in runs)} -> "
      f"{pages / min(wall):.0f} best, {pages / statistics.mean(wall):.0f} mean; "
      f"{1000 * statistics.mean(c for _, c in runs) / pages:.2f} ms")
PY
done
