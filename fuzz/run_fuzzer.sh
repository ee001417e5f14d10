#!/usr/bin/env bash
# Runs one fuzz target on its committed seeds for a fixed number of inputs.
# New inputs the fuzzer finds go to a private folder that is thrown away, so
# the seed folder stays as committed; a crashing input is kept in ARTIFACTS.
#
# Usage: run_fuzzer.sh BINARY SEEDS DICT ARTIFACTS [libFuzzer options...]
set -euo pipefail
binary=$1 seeds=$2 dict=$3 artifacts=$4
shift 4
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$binary" -dict="$dict" -artifact_prefix="$artifacts/" -print_final_stats=1 "$@" "$work" "$seeds"
