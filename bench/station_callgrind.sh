#!/usr/bin/env bash
# Instructions of one material scan with the repaint that follows, at the
# 5th, 500th and 2,000th line of the scanning window's detail grid: a
# callgrind run of quillmark_station_bench that counts only the timed scans
# (on a 1920x1080 Xvfb screen, so that the whole window is painted). Unlike
# the times the bench prints, the counts do not depend on the machine's
# other work.
# usage: bench/station_callgrind.sh BUILD_DIR   (an optimised build without sanitizers)
set -euo pipefail
bench="$1/bench/quillmark_station_bench"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" \
  valgrind --tool=callgrind --instr-atstart=no --collect-atstart=no \
  --callgrind-out-file="$tmp/out.%p" "$bench" >"$tmp/bench" 2>"$tmp/log"
declare -A count
for f in "$tmp"/out.*; do
  trigger=$(grep -E '^desc: Trigger:' "$f" | sed -E 's/.*Client Request: line ([0-9]+).*/\1/;t;d' || true)
  [ -n "$trigger" ] && count[$trigger]=$(sed -nE 's/^totals: ([0-9]+).*/\1/p' "$f" | head -1)
done
samples=$(sed -nE 's/.*median of ([0-9]+).*/\1/p' "$tmp/bench" | head -1)
first=${count[5]}
for line in 5 500 2000; do
  n=${count[$line]}
  printf 'scan with repaint at line %5d: %11d instructions a scan  (%s x the 5th)\n' "$line" \
    "$(( n / samples ))" "$(awk -v a="$n" -v b="$first" 'BEGIN { printf "%.2f", a / b }')"
done
awk -v a="${count[2000]}" -v b="$first" \
  'BEGIN { r = a / b; printf "2,000th / 5th: %.2f (target <= 1.3, %s)\n", r, r <= 1.3 ? "met" : "not met" }'
