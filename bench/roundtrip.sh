#!/bin/sh
# Runs the round-trip benchmark with the shim preloaded and the SQLite ODBC
# driver registered as "SQL Server" in an odbcinst.ini of its own.
# Usage: bench/roundtrip.sh [build folder] [lines…]
set -e
build=${1:-build/release}
[ $# -gt 0 ] && shift
shim=$(cd "$build/bench" && pwd)/libquillmark_roundtrip_shim.so
driver=$(ls /usr/lib/*/odbc/libsqlite3odbc.so /usr/lib/odbc/libsqlite3odbc.so 2>/dev/null | head -n 1)
[ -n "$driver" ] || { echo "SQLite ODBC driver not found (Debian: libsqliteodbc)" >&2; exit 1; }
ini=$(mktemp -d)
trap 'rm -rf "$ini"' EXIT
printf '[SQL Server]\nDriver=%s\n' "$driver" > "$ini/odbcinst.ini"
export ODBCSYSINI="$ini" ODBCINSTINI=odbcinst.ini
# A sanitized build wants its runtime first; the shim comes after it.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0:detect_leaks=0"
LD_PRELOAD="$shim" "$build/bench/quillmark_roundtrip_bench" "$@"
