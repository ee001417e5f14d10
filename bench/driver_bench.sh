#!/usr/bin/env bash
# End-to-end speed and peak memory of morvane-convert on a large generated
# Chinese WML page: a page in the GB2312 form (GB2312 bytes as it declares, CR
# LF lines, markup, tabs, ampersands) and its UTF-8 form, each converted by the four
# modes from a file to a pipe. Not a test: it prints figures and flags the
# targets (--encode >= 300 MiB/s, --decode >= 400 MiB/s, peak RSS < 12x input).
#
# Usage: bench/driver_bench.sh [path/to/morvane-convert]
#   Without a path it builds a Release binary in $MORVANE_BENCH_BUILD
#   (default build/driver-bench). MORVANE_BENCH_MIB sets the page size
#   (default 50), MORVANE_BENCH_RUNS the timed runs per mode (default 10).
# Timing uses hyperfine when installed, else /usr/bin/time; peak memory
# always comes from /usr/bin/time (GNU time, package "time"). Columns: input
# size, wall time (mean ± standard deviation), throughput in MiB of input per
# second on the mean, on the best run and on the CPU time (user + system),
# peak resident memory and its ratio to the input size.
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=driver_binary.sh
source bench/driver_binary.sh "${1:-}"
mib="${MORVANE_BENCH_MIB:-50}"
runs="${MORVANE_BENCH_RUNS:-10}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The page: cards of news items with Chinese titles and sentences, links with
# query strings, entities, bare ampersands, tab indentation and CR LF lines.
python3 - "$work/page-gb.wml" "$mib" <<'PY'
import random, sys
path, mib = sys.argv[1], float(sys.argv[2])
rng = random.Random(20240611)
common = ("的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动"
          "同工也能下过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二"
          "理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义"
          "事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解"
          "问意建月公无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管"
          "特件长求老头基资边流路级少图山统接知较将组见计别她手角期根论运农指几九区强放决西被干"
          "做必战先回则任取据处队南给色光门即保治北造百规热领七海口东导器压志世金增争济阶油思术"
          "极交受联什认六共权收证改清己美再采转更单风切打白教速花带安场身车例真务具万每目至达走")
punct = "，。！？、：；（）《》"
def sentence(n):
    out = []
    for i in range(n):
        out.append(rng.choice(common))
        if i and i % rng.randint(5, 12) == 0:
            out.append(rng.choice(punct))
    return "".join(out) + "。"
cards = []
for c in range(400):
    lines = [f'<card id="c{c}" title="{sentence(4)[:-1]}第{c}页">', '<p align="left">']
    for item in range(rng.randint(4, 9)):
        lines.append(f'\t<b>{sentence(rng.randint(4, 10))[:-1]}</b><br/>')
        lines.append(f'\t\t{sentence(rng.randint(15, 60))} R&D &amp; Q&A &lt;{rng.randint(1, 999)}&gt;<br/>')
        lines.append(f'\t<a href="news.wml?id={c}&amp;item={item}">{sentence(3)[:-1]}</a>&nbsp;'
                     f'<a href="#c{(c + 1) % 400}">下一页</a><br/>')
    lines += ['</p>', '</card>']
    cards.append("\r\n".join(lines) + "\r\n")
head = ('<?xml version="1.0" encoding="gb2312"?>\r\n'
        '<!DOCTYPE wml PUBLIC "-//WAPFORUM//DTD WML 1.1//EN" '
        '"http://www.wapforum.org/DTD/wml_1.1.xml">\r\n<wml>\r\n').encode("gb2312")
tail = "</wml>\r\n".encode("gb2312")
target = int(mib * 1024 * 1024)
encoded = [card.encode("gb2312") for card in cards]
with open(path, "wb") as f:
    f.write(head)
    size, i = len(head) + len(tail), 0
    while size < target:
        f.write(encoded[i % len(encoded)])
        size += len(encoded[i % len(encoded)])
        i += 1
    f.write(tail)
PY
"$binary" --gb-to-utf "$work/page-gb.wml" >"$work/page-utf.wml"

# Prints "mean stddev best cpu" in seconds for $runs runs of the command: the mean, spread and
# shortest wall time, and the mean user plus system time. On a machine shared with other work
# the wall time includes waiting for a CPU; the best run and the CPU time show what the run
# itself costs.
time_runs() {
  if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 1 --runs "$runs" --output=pipe --export-json "$work/h.json" \
      "$*" >/dev/null 2>"$work/hyperfine.log"
    python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]; print(r["mean"], r["stddev"], r["min"], r["user"] + r["system"])' "$work/h.json"
  else
    for _ in $(seq "$runs"); do
      { /usr/bin/time -f '%e %U %S' "$@" | cat >/dev/null; } 2>&1
    done | python3 -c '
import statistics, sys
rows = [[float(x) for x in line.split()] for line in sys.stdin]
wall = [r[0] for r in rows]
print(statistics.mean(wall), statistics.pstdev(wall), min(wall),
      statistics.mean(r[1] + r[2] for r in rows))'
  fi
}

uptime
printf '%-12s %10s %17s %7s %7s %7s %9s %7s  %s\n' mode input 'wall (s)' MiB/s best cpu 'peak RSS' RSS/in 'target (on the mean)'
for row in "--encode page-gb.wml 300" "--decode page-utf.wml 400" \
           "--gb-to-utf page-gb.wml 0" "--utf-to-gb page-utf.wml 0"; do
  read -r mode file target <<<"$row"
  input="$work/$file"
  bytes=$(stat -c %s "$input")
  read -r mean sd best cpu < <(time_runs "$binary" "$mode" "$input")
  rss_kib=$( { /usr/bin/time -f %M "$binary" "$mode" "$input" >/dev/null; } 2>&1 )
  python3 - "$mode" "$bytes" "$mean" "$sd" "$best" "$cpu" "$rss_kib" "$target" <<'PY'
import sys
mode = sys.argv[1]
size, rss, target = int(sys.argv[2]), int(sys.argv[7]), int(sys.argv[8])
mean, sd, best, cpu = (float(x) for x in sys.argv[3:7])
mib = size / 1048576
speed, best_speed, cpu_speed, ratio = mib / mean, mib / best, mib / cpu, rss * 1024 / size
verdict = []
if target:
    verdict.append(f">={target} MiB/s {'ok' if speed >= target else 'MISSED'}")
verdict.append(f"<12x {'ok' if ratio < 12 else 'MISSED'}")
print(f"{mode:<12} {mib:6.1f} MiB {mean:7.3f} ± {sd:5.3f} {speed:7.0f} {best_speed:7.0f} {cpu_speed:7.0f} "
      f"{rss / 1024:5.0f} MiB {ratio:6.2f}x  {', '.join(verdict)}")
PY
done
