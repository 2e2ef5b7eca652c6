#!/usr/bin/env bash
# Instruction counts of the QR module under callgrind, each against its
# target:
#   - one warm 创建二维码 call for each case of qr_cases.h at its picture
#     size: quillmark_qr_calls run with 5 and with 25 calls,
#     (Ir(25) - Ir(5)) / 20, so that the start-up cancels out;
#   - the first call of a process: Ir(1) - Ir(0), at most 1.2 warm calls;
#   - the command-line tool as a whole process, one run writing the
#     personnel label's picture.
# usage: bench/qr_callgrind.sh BUILD_DIR   (an optimised build without
# sanitizers, e.g. build/release). Exits 1 when a figure misses its target.
set -euo pipefail
build="$1"
calls="$build/bench/quillmark_qr_calls"
tool="$build/bin/quillmark-qr"
names=("\"R00123\" H 50x50" "\"%%SpecCode18\" H 100x100" "2953 B L (v40) 500x500" "1000 B Chinese H (v36) 600x600")
targets=(72600 141100 5853000 5706000)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
missed=0

total() {  # command... -> instructions of the whole run
  valgrind --tool=callgrind --callgrind-out-file="$tmp/out" "$@" >/dev/null 2>"$tmp/log" || {
    cat "$tmp/log" >&2
    exit 2
  }
  grep -E '^(summary|totals):' "$tmp/out" | head -1 | awk '{print $2}'
}
verdict() {  # figure target
  if [ "$1" -le "$2" ]; then echo "met"; else missed=1; echo "over by $(( $1 - $2 ))"; fi
}

echo "warm call (instructions per 创建二维码):"
warm=()
for i in 0 1 2 3; do
  a=$(total "$calls" "$i" 5)
  b=$(total "$calls" "$i" 25)
  per=$(( (b - a) / 20 ))
  warm+=("$per")
  printf '  %-32s %10d  target %10d  %s\n' "${names[$i]}" "$per" "${targets[$i]}" "$(verdict "$per" "${targets[$i]}")"
done

echo "first call of a process (instructions; target 1.2 x warm):"
for i in 0 1 2 3; do
  a=$(total "$calls" "$i" 0)
  b=$(total "$calls" "$i" 1)
  first=$(( b - a ))
  limit=$(( warm[i] * 12 / 10 ))
  printf '  %-32s %10d  target %10d  %s (%d.%02d x warm)\n' "${names[$i]}" "$first" "$limit" \
    "$(verdict "$first" "$limit")" $(( first / warm[i] )) $(( first * 100 / warm[i] % 100 ))
done

echo "command-line tool, whole process (instructions):"
cli=$(total "$tool" --level H --width 50 --height 50 R00123 --output "$tmp/x.bmp")
printf '  %-32s %10d  target %10d  %s\n' "quillmark-qr ... R00123" "$cli" 725000 "$(verdict "$cli" 725000)"
exit "$missed"
