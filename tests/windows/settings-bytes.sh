#!/usr/bin/env bash
# set.ini, the refusal of a character GBK cannot hold, and the log line
# with a refused character, written by the Linux and the Windows build of
# the same probe: byte for byte the same (the log compared after its time).
#   settings-bytes.sh WINE_RUN LINUX_PROBE WINDOWS_PROBE WORKDIR
set -uo pipefail
wine_run="$1" linux_probe="$2" windows_probe="$3" work="$4"
rm -rf "$work" && mkdir -p "$work/linux" "$work/windows"
"$linux_probe" "$work/linux" || { echo "the Linux probe failed" >&2; exit 1; }
"$wine_run" "$windows_probe" "Z:$work/windows" >/dev/null
rc=$?
[ $rc -eq 77 ] && exit 77
[ $rc -eq 0 ] || { echo "the Windows probe failed ($rc)" >&2; exit 1; }
status=0
for f in set.ini refusal.txt; do
  cmp "$work/linux/$f" "$work/windows/$f" || status=1
done
# "[YYYY-MM-DD hh:mm:ss]:" opens every entry.
cut -c23- "$work/linux/syslog/yxlog.txt" >"$work/linux/log-text"
cut -c23- "$work/windows/syslog/yxlog.txt" >"$work/windows/log-text"
cmp "$work/linux/log-text" "$work/windows/log-text" || status=1
grep -q '?' "$work/windows/log-text" || { echo "the refused characters left no '?' in the log" >&2; status=1; }
[ $status -eq 0 ] && echo "set.ini ($(stat -c %s "$work/linux/set.ini") bytes), refusal and log identical"
exit $status
