#!/usr/bin/env bash
# The README's two commands on a brand-new Debian 12 machine: makes a minimal
# Debian 12 root (debootstrap --variant=minbase bookworm) from the mirror this
# machine's own apt sources name, copies the checkout into it (the files git
# tracks, as a fresh clone has them, with their changes in the working tree)
# and the shared folder beside it, and runs there, as root with no display and
# a bare environment:
#   1. ./scripts/run.sh   must build, then end with its one-line "needs a
#                         desktop session" message and a non-zero status (no abort);
#   2. ./scripts/test.sh  with MORVANE_WERROR=ON, as CI builds;
#   3. each --then SCRIPT (a later stage, e.g. --then scripts/test-windows.sh),
#      in the same root, only when everything before it passed.
# Exits with the status of the first failing command of 2 and 3 (0 when all
# pass), or 1 when the root cannot be made or run.sh misbehaves. Everything it
# mounts is unmounted and every process left in the root is ended on the way
# out, also after a failure, Ctrl-C or SIGTERM; the root is then removed.
#
# Needs root, debootstrap and the network. Usage:
#   scripts/fresh-root.sh [--then SCRIPT]...
# Environment:
#   MORVANE_CCACHE_DIR  compiler cache shared into the root: a folder, or "none";
#                       default this machine's own (ccache -k cache_dir).
#                       Packages are never shared: the root downloads its own.
#   MORVANE_PROJECT_CACHE_DIR  the project's cache shared into the root (the
#                       Windows Qt, scripts/windows-qt.sh): a folder, or "none";
#                       default ~/.cache/morvane when it exists.
#   MORVANE_SHARED_DIR  the folder copied beside the checkout as ../shared
#                       (default: ../shared beside the checkout, when present)
#   MORVANE_MIRROR      a Debian mirror to use instead of the one apt's sources name
#   MORVANE_KEEP_ROOT=1 keep the root (its path is printed) instead of removing it
# Logs and the timing summary: build/fresh-root/ in the checkout.
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
args=("$@")
then_scripts=()
while [ $# -gt 0 ]; do
  case $1 in
  --then)
    [ $# -ge 2 ] || { echo "fresh-root: --then needs a script" >&2; exit 2; }
    [ -f "$src/$2" ] || { echo "fresh-root: no script $2 in the checkout" >&2; exit 2; }
    then_scripts+=("$2")
    shift 2
    ;;
  *)
    echo "usage: scripts/fresh-root.sh [--then SCRIPT]..." >&2
    exit 2
    ;;
  esac
done

say() { echo "fresh-root: [$(date -u +%H:%M:%S)] $*"; }
die() { echo "fresh-root: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || die "must run as root (debootstrap, chroot and mounts need it)"
for tool in debootstrap chroot unshare setsid mount umount tar; do
  command -v "$tool" >/dev/null || die "$tool is missing (apt-get install debootstrap util-linux tar)"
done

# Everything runs in a mount namespace of its own, so no mount made here can
# outlive the run or show up in the machine's own mount table.
if [ -z "${MORVANE_FRESH_ROOT_NS:-}" ]; then
  export MORVANE_FRESH_ROOT_NS=1
  exec unshare --mount --propagation private -- bash "$0" "${args[@]}"
fi

logs="$src/build/fresh-root"
mkdir -p "$logs"
rm -f "$logs"/*.log "$logs/summary.txt"
root=""
debootstrap_pid=""
# One line per finished step; printed (and kept in summary.txt) however the run ends.
summary() { echo "$*" >>"$logs/summary.txt"; }

# --- leaving: end the root's processes, unmount, remove ---------------------

# The processes whose root directory is the fresh root: all of them were
# started by this script (the two commands and whatever they left behind).
root_pids() {
  find /proc -mindepth 2 -maxdepth 2 -name root -lname "$root" 2>/dev/null | cut -d/ -f3
}

end_root_processes() {
  local sig pids
  for sig in TERM TERM KILL KILL KILL; do
    mapfile -t pids < <(root_pids)
    [ ${#pids[@]} -gt 0 ] || return 0
    say "ending ${#pids[@]} process(es) left in the root (SIG$sig)"
    kill -s "$sig" "${pids[@]}" 2>/dev/null || true
    sleep 2
  done
  mapfile -t pids < <(root_pids)
  [ ${#pids[@]} -eq 0 ]
}

mounts_under_root() {
  awk -v r="$root" '$2 == r || index($2, r "/") == 1 {print $2}' /proc/self/mounts | sort -r
}

unmount_all() {
  local m attempt
  for attempt in 1 2 3; do
    mapfile -t mounted < <(mounts_under_root)
    [ ${#mounted[@]} -gt 0 ] || return 0
    for m in "${mounted[@]}"; do
      umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
    done
  done
  [ -z "$(mounts_under_root)" ]
}

cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  # debootstrap runs in a process group of its own (see below).
  if [ -n "$debootstrap_pid" ] && kill -0 "$debootstrap_pid" 2>/dev/null; then
    say "ending debootstrap"
    kill -TERM -- "-$debootstrap_pid" 2>/dev/null || true
    sleep 2
    kill -KILL -- "-$debootstrap_pid" 2>/dev/null || true
  fi
  if [ -s "$logs/summary.txt" ]; then
    say "summary:"
    sed 's/^/  /' "$logs/summary.txt"
  fi
  if [ -n "$root" ] && [ -d "$root" ]; then
    end_root_processes || say "warning: some processes in the root would not end"
    if ! unmount_all; then
      say "warning: could not unmount everything under $root; it is left in place"
    elif [ "${MORVANE_KEEP_ROOT:-0}" = 1 ]; then
      say "the root is kept in $root"
    else
      # Only with nothing mounted inside, and never across a file system.
      rm -rf --one-file-system "$root"
    fi
  fi
  exit "$rc"
}
trap cleanup EXIT
stopped() { # signal status
  say "$1"
  summary "$1 after $((SECONDS - ${total_start:-0})) s"
  exit "$2"
}
trap 'stopped interrupted 130' INT
trap 'stopped terminated 143' TERM

# --- the mirror, from this machine's own apt sources --------------------------

# Prints "URI SUITE COMPONENT..." for each enabled binary ("deb") source, from
# one-line sources.list files and from deb822 .sources files.
apt_sources() {
  local list
  for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] || continue
    awk '$1 == "deb" {
      i = 2
      if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
      line = $i " " $(i + 1)
      for (j = i + 2; j <= NF && $j !~ /^#/; j++) line = line " " $j
      print line
    }' "$list"
  done
  for list in /etc/apt/sources.list.d/*.sources; do
    [ -f "$list" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
    {
      types = ""; uris = ""; suites = ""; comps = ""; enabled = "yes"; key = ""
      for (i = 1; i <= NF; i++) {
        line = $i
        if (line ~ /^#/) continue
        if (line ~ /^[ \t]/) { value = line }
        else { key = tolower(substr(line, 1, index(line, ":") - 1)); value = substr(line, index(line, ":") + 1) }
        gsub(/^[ \t]+|[ \t]+$/, "", value)
        if (key == "types") types = types " " value
        else if (key == "uris") uris = uris " " value
        else if (key == "suites") suites = suites " " value
        else if (key == "components") comps = comps " " value
        else if (key == "enabled") enabled = tolower(value)
      }
      if (enabled == "no" || types !~ /(^| )deb( |$)/) next
      n = split(uris, u, " "); m = split(suites, s, " ")
      for (a = 1; a <= n; a++) for (b = 1; b <= m; b++) print u[a] " " s[b] comps
    }' "$list"
  done
}

suite=bookworm
mapfile -t debian_sources < <(apt_sources | awk -v s="$suite" \
  '$2 == s || $2 == s "-updates" || $2 == s "-security" || $2 == s "/updates"')
mirror="${MORVANE_MIRROR:-$(printf '%s\n' "${debian_sources[@]}" | awk -v s="$suite" '$2 == s {print $1; exit}')}"
[ -n "$mirror" ] ||
  die "no apt source of this machine names a $suite mirror (/etc/apt/sources.list, /etc/apt/sources.list.d/); set MORVANE_MIRROR"
[ ${#debian_sources[@]} -gt 0 ] || debian_sources=("$mirror $suite main")

# --- the root ----------------------------------------------------------------

root=$(mktemp -d /var/tmp/morvane-fresh-root.XXXXXX)
chmod 755 "$root"
total_start=$SECONDS
start=$SECONDS
say "debootstrap --variant=minbase $suite from $mirror into $root"
attempts=4
for ((attempt = 1; ; attempt++)); do
  # In the background and in a process group of its own, so that a signal
  # reaches the traps at once and the whole of debootstrap can be ended.
  setsid debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$logs/debootstrap.log" 2>&1 &
  debootstrap_pid=$!
  debootstrap_status=0
  wait "$debootstrap_pid" || debootstrap_status=$?
  debootstrap_pid=""
  if [ "$debootstrap_status" -eq 0 ]; then
    break
  fi
  if ! grep -qiE "download|getting release|resolv|connect|timed out|unreachable|Hash Sum|size mismatch" \
    "$logs/debootstrap.log"; then
    tail -n 20 "$logs/debootstrap.log" >&2
    die "debootstrap failed (not while downloading); log: $logs/debootstrap.log"
  fi
  if [ "$attempt" -ge "$attempts" ]; then
    tail -n 20 "$logs/debootstrap.log" >&2
    die "debootstrap could not download from $mirror after $attempts attempts: the network (or the mirror) failed"
  fi
  say "debootstrap could not download (attempt $attempt of $attempts): the network or the mirror; trying again"
  unmount_all || die "could not unmount what debootstrap left mounted in $root"
  find "$root" -mindepth 1 -maxdepth 1 -exec rm -rf --one-file-system {} +
  sleep $((attempt * 20)) &
  wait $!
done
summary "debootstrap: $((SECONDS - start)) s"

# The same Debian suites as this machine (updates and security fixes included),
# name resolution, and no service started by a package's install script: a
# chroot has no init to stop them again.
printf 'deb %s\n' "${debian_sources[@]}" >"$root/etc/apt/sources.list"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"

# The checkout: the files git tracks (as a fresh clone has them, with the
# working tree's changes); outside a git checkout, every file but the builds.
home="$root/root/work"
mkdir -p "$home/morvane"
if git -C "$src" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git -C "$src" ls-files -z --cached |
    while IFS= read -r -d '' f; do
      if [ -e "$src/$f" ] || [ -L "$src/$f" ]; then printf '%s\0' "$f"; fi
    done |
    tar -C "$src" --null -T - -cf - | tar -C "$home/morvane" -xf -
else
  tar -C "$src" --exclude=./build -cf - . | tar -C "$home/morvane" -xf -
fi
shared="${MORVANE_SHARED_DIR:-$src/../shared}"
if [ -d "$shared" ]; then
  mkdir -p "$home/shared"
  cp -a "$shared/." "$home/shared/"
else
  say "note: no shared folder at $shared; the root gets none (set MORVANE_SHARED_DIR)"
fi

# What a build needs of the kernel: processes, devices, terminals, shared memory.
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$root/dev/shm"

# The machine's compiler cache, when it has one, keeps CI fast; it holds only
# compiled objects, keyed by their exact inputs.
cache="${MORVANE_CCACHE_DIR:-}"
if [ -z "$cache" ] && command -v ccache >/dev/null; then
  cache=$(ccache -k cache_dir 2>/dev/null || true)
fi
cache_env=()
if [ -n "$cache" ] && [ "$cache" != none ]; then
  mkdir -p "$cache" "$root/var/cache/ccache"
  mount --bind "$cache" "$root/var/cache/ccache"
  cache_env=(CCACHE_DIR=/var/cache/ccache)
  say "compiler cache: $cache"
fi

# The project's own cache (scripts/windows-qt.sh: the Windows Qt, unpacked
# from its checked archive or built from Debian's source once, and GoogleTest
# built for MinGW), when the machine has one: the Windows stage then needs no
# archive beside the checkout and never builds Qt in CI.
project_cache="${MORVANE_PROJECT_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/morvane}"
if [ "$project_cache" != none ] && [ -d "$project_cache" ]; then
  mkdir -p "$root/root/.cache/morvane"
  mount --bind "$project_cache" "$root/root/.cache/morvane"
  say "project cache: $project_cache"
fi

# Runs a command line in the root as a new user's login would: root's home,
# the standard PATH, no display, no locale, no standard input. In the
# background, so that a signal reaches the traps above at once.
in_root() { # log command-line [VAR=value...]
  local log=$1 line=$2 status=0
  shift 2
  (chroot "$root" /usr/bin/env -i HOME=/root USER=root LOGNAME=root TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${CI:+CI="$CI"} "${cache_env[@]}" "$@" \
    /bin/bash -c "cd /root/work/morvane && $line" </dev/null 2>&1 | tee "$log") &
  wait $! || status=$?
  return "$status"
}

packages() { chroot "$root" dpkg-query -W -f='${db:Status-Abbrev}\n' | grep -c '^ii'; }

base_packages=$(packages)
summary "the minimal root: $base_packages packages"

# 1. run.sh with no display: builds, then one line about the desktop session.
say "./scripts/run.sh (no display)"
start=$SECONDS
run_status=0
in_root "$logs/run.log" ./scripts/run.sh || run_status=$?
run_packages=$(packages)
summary "run.sh: $((SECONDS - start)) s, status $run_status, $((run_packages - base_packages)) packages installed"
last_line=$(grep -v '^[[:space:]]*$' "$logs/run.log" | tail -n 1)
if [ "$run_status" -eq 0 ] || [ "$run_status" -ge 128 ]; then
  die "run.sh without a display ended with status $run_status; expected its one-line message and a plain failure"
fi
case $last_line in
*"needs a desktop session"*DISPLAY*WAYLAND_DISPLAY*) say "run.sh ended as it should (status $run_status): $last_line" ;;
*) die "run.sh without a display failed (status $run_status) without its desktop-session message; last line: $last_line" ;;
esac

# 2. test.sh, warnings as errors.
say "./scripts/test.sh (MORVANE_WERROR=ON)"
start=$SECONDS
test_status=0
in_root "$logs/test.log" ./scripts/test.sh MORVANE_WERROR=ON || test_status=$?
test_packages=$(packages)
summary "test.sh: $((SECONDS - start)) s, status $test_status, $((test_packages - run_packages)) more packages installed"
grep -E 'tests passed|tests failed' "$logs/test.log" | sed 's/^/  ctest: /' >>"$logs/summary.txt" || true
status=$test_status

# 3. Later stages in the same root.
for script in "${then_scripts[@]}"; do
  [ "$status" -eq 0 ] || break
  say "./$script"
  start=$SECONDS
  in_root "$logs/$(basename "$script" .sh).log" "./$script" MORVANE_WERROR=ON || status=$?
  summary "$script: $((SECONDS - start)) s, status $status"
done

summary "total: $((SECONDS - total_start)) s, status $status"
say "done: status $status (logs in $logs)"
exit "$status"
