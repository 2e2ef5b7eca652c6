#!/usr/bin/env bash
# Instructions per 创建二维码 call, from two callgrind runs of
# quillmark_qr_calls with different call counts (start-up cancels out).
# usage: bench/qr_callgrind.sh BUILD_DIR   (an optimised build without sanitizers)
set -euo pipefail
calls="$1/bench/quillmark_qr_calls"
targets=(283000 406000 22000000 17400000)
names=("\"R00123\" H 50x50" "\"%%SpecCode18\" H 100x100" "2953 ASCII bytes L (v40)" "1000 Chinese bytes H")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
count() {  # case, calls -> total instructions
  valgrind --tool=callgrind --callgrind-out-file="$tmp/out" "$calls" "$1" "$2" >/dev/null 2>"$tmp/log"
  grep -E '^(summary|totals):' "$tmp/out" | head -1 | awk '{print $2}'
}
for i in 0 1 2 3; do
  a=$(count "$i" 5)
  b=$(count "$i" 25)
  per=$(( (b - a) / 20 ))
  printf '%-28s %12d instructions/call  (target %d, %s)\n' "${names[$i]}" "$per" "${targets[$i]}" \
    "$([ "$per" -le "${targets[$i]}" ] && echo met || echo "over by $(( per - targets[i] ))")"
done
