#!/bin/sh
# Runs a libFuzzer target for 60 s under CI (CI=true), 10 s otherwise. New
# corpus entries go to a temporary folder, never into the source tree; crash
# inputs are kept in the artifact folder for turning into regression files.
# Inputs are capped at 1 KB: every reader meets its whole grammar within it,
# and longer ones only slow each run down.
# usage: run_fuzzer.sh <fuzzer> <seed corpus> <dictionary> <artifact folder>
set -eu
fuzzer=$1 seeds=$2 dict=$3 artifacts=$4
seconds=10
if [ "${CI:-}" = true ]; then seconds=60; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$artifacts"
"$fuzzer" -max_total_time="$seconds" -max_len=1024 -timeout=10 -rss_limit_mb=2048 -dict="$dict" \
    -artifact_prefix="$artifacts/" "$work" "$seeds"
