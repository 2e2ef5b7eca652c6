#!/usr/bin/env bash
# The Windows program end to end, under Wine:
#  1. the installer installs silently (/S) into a Wine prefix of its own;
#  2. the installed quillmark-demo-erp.exe makes the demo ERP;
#  3. the installed quillmark.exe starts under Xvfb with the Windows
#     platform plugin on that ERP (set.ini in the user's data folder);
#  4. the online mode is opened, and a badge and two materials are typed
#     into the real window as a scanner types them (keys, then Enter),
#     then the write-voucher command code twice (the first shows what will
#     be written, the second writes);
#  5. the account set holds the voucher and its two lines (sqlite3 from
#     here), and set.ini and syslog/yxlog.txt are in the user's data folder,
#     in GBK;
#  6. the same over ODBC: quillmark.exe connects through the driver named
#     "SQL Server", which Wine's odbc32 finds in the host's unixODBC (the
#     SQLite ODBC driver registered under that name), and writes a voucher
#     into a copy of the account set.
# It also times the start-up (until the start window is on screen) of
# quillmark.exe under Wine and of the Linux program on the same ERP.
#
#   end-to-end.sh WINE WORKDIR INSTALLER LINUX_QUILLMARK [ODBCSYSINI]
# Exit 77 (skipped) when Wine, Xvfb or xdotool cannot run here.
set -uo pipefail
wine="$1" work="$2" installer="$3" linux_quillmark="$4" odbc_ini="${5-}"
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver="$(dirname "$wine")/wineserver64"
skip() { echo "end-to-end: $1; skipped." >&2; exit 77; }
fail() { echo "end-to-end: FAILED: $1" >&2; exit 1; }
[ -x "$wine" ] || skip "no Wine"
command -v Xvfb >/dev/null || skip "no Xvfb"
command -v xdotool >/dev/null || skip "no xdotool (scripts/install-deps)"
command -v sqlite3 >/dev/null || skip "no sqlite3"

WINEPREFIX="$work/prefix" "$wineserver" -k >/dev/null 2>&1
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
export LC_ALL=C.UTF-8
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

pids=()
cleanup() {
  WINEPREFIX="$work/prefix" "$wineserver" -k >/dev/null 2>&1
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait "${pids[@]}" 2>/dev/null
}
trap cleanup EXIT

# A display of its own.
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
exec 5>&-
[ -s "$work/display" ] || skip "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

"$wine" wineboot --init >/dev/null 2>&1 || skip "wineboot failed"

# 1. Silent installation.
"$wine" "$installer" /S >/dev/null 2>&1 || fail "the installer exited with $?"
"$wineserver" -w
inst="$WINEPREFIX/drive_c/Program Files/Quillmark"
for f in quillmark.exe quillmark-demo-erp.exe uninstall.exe Qt6Widgets.dll platforms/qwindows.dll \
         sqldrivers/qsqlite.dll sqldrivers/qsqlodbc.dll styles/qwindowsvistastyle.dll "wav/扫码成功.wav"; do
  [ -f "$inst/$f" ] || fail "not installed: $f"
done
ls "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillmark/"*.lnk >/dev/null 2>&1 ||
  fail "no Start-menu entry"
echo "installed into C:\\Program Files\\Quillmark"

# 2. The demo ERP, made by the installed generator.
erp="$WINEPREFIX/drive_c/quillmark-erp"
"$wine" "$inst/quillmark-demo-erp.exe" 'C:\quillmark-erp' >/dev/null 2>&1 || fail "quillmark-demo-erp.exe failed"
[ -f "$erp/UFDATA_001_2021.db" ] || fail "no account set made"
cp -r "$erp" "$work/erp-linux"

# 3. set.ini in the user's data folder: the program directory is not
#    where an installed program keeps it.
local_app="$("$wine" cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')"
data="$("$wine" winepath -u "$local_app\\Quillmark\\Quillmark" 2>/dev/null)"
[ -n "$data" ] || fail "no user data folder"
mkdir -p "$data"
write_ini() { # server folder
  printf '[连接配制]\r\n服务器=sqlite:%s\r\n用户名=sa\r\n账套=UFDATA_001_2021\r\n密码=%s\r\n[材料出库单表头]\r\n仓库=02|五金仓\r\n经手人=0001|王洋国\r\n出库类别=202|生产领料\r\n' \
    "$1" "$(printf 'lanterno602417' | base64)" | iconv -f UTF-8 -t GBK
}
write_ini 'C:/quillmark-erp' >"$data/set.ini"

# Start-up until the start window is on screen, in milliseconds.
now_ms() { date +%s%3N; }
"$wine" wineboot >/dev/null 2>&1 # the prefix is warm before timing
start=$(now_ms)
"$wine" "$inst/quillmark.exe" >"$work/quillmark.log" 2>&1 &
pids+=($!)
win="$(timeout 120 xdotool search --sync --onlyvisible --name '^Quillmark$' | head -n1)"
[ -n "$win" ] || fail "quillmark.exe showed no start window"
wine_ms=$(( $(now_ms) - start ))
# The header lists are filled once the ERP is connected.
sleep 2

# 4. Online mode: the button 在线模式 of the start window; then a badge,
#    two materials and the write-voucher command code twice.
# Keys through the X server's test extension, as a USB scanner types them.
scan() { xdotool type --delay 30 "$1"; xdotool key Return; sleep 1; }
open_station_and_write() { # start-window id
  local online="" attempt
  online="$(xdotool search --name '^在线扫码出库$' 2>/dev/null | head -n1)"
  for attempt in 1 2 3; do
    [ -n "$online" ] && break
    xdotool windowfocus --sync "$1" >/dev/null 2>&1
    # The button's middle, in the window's client area (the start window
    # lays out its controls at fixed places).
    xdotool mousemove --window "$1" 650 30 click 1
    online="$(timeout 20 xdotool search --sync --onlyvisible --name '^在线扫码出库$' | head -n1)"
  done
  [ -n "$online" ] || { xdotool search --name '.' getwindowname %@ >&2 2>/dev/null; return 1; }
  xdotool windowfocus --sync "$online" >/dev/null 2>&1
  sleep 1
  for code in R10001 QM-001 M6-25 '#QM-WRITE' '#QM-WRITE'; do scan "$code"; done
  sleep 2
}
open_station_and_write "$win" || fail "the scanning window did not open"
command -v import >/dev/null && import -display "$DISPLAY" -window root "$work/station.png" 2>/dev/null

# 5. The voucher in the account set, read from here.
check_voucher() { # account-set file
  local lines expected=$'M6-25|1\nQM-001|1'
  lines="$(sqlite3 "$1" "select s.cInvCode, s.iQuantity from rdrecords11 s
    where s.ID = (select max(ID) from rdrecord11 r where r.cCode like 'CLCK%') order by s.cInvCode")"
  if [ "$lines" != "$expected" ]; then
    sqlite3 "$1" "select ID, cCode from rdrecord11 order by ID desc limit 3" >&2
    echo "the voucher's lines are [$lines], not [$expected]"
    return 1
  fi
}
why="$(check_voucher "$erp/UFDATA_001_2021.db")" || fail "$why"
echo "voucher written through the window: $(sqlite3 "$erp/UFDATA_001_2021.db" "select cCode from rdrecord11 order by ID desc limit 1")"

[ -f "$data/set.ini" ] || fail "no set.ini in the user's data folder"
[ -f "$data/syslog/yxlog.txt" ] || fail "no syslog/yxlog.txt in the user's data folder"
[ ! -f "$inst/set.ini" ] && [ ! -d "$inst/syslog" ] || fail "the program wrote into Program Files"
iconv -f GBK -t UTF-8 "$data/set.ini" | grep -q '^仓库=02|五金仓' || fail "set.ini is not GBK"
# What the log holds must read as GBK.
iconv -f GBK -t UTF-8 "$data/syslog/yxlog.txt" >"$work/log.txt" || fail "yxlog.txt is not GBK"
echo "set.ini and syslog/yxlog.txt in $local_app\\Quillmark\\Quillmark, in GBK"

# 6. The same over ODBC, into a copy of the account set the host's driver
#    opens by its host path.
if [ -n "$odbc_ini" ]; then
  "$wineserver" -k >/dev/null 2>&1
  sleep 1
  cp -r "$work/erp-linux" "$work/erp-odbc"
  printf '[连接配制]\r\n服务器=localhost\r\n用户名=sa\r\n账套=%s\r\n密码=%s\r\n[材料出库单表头]\r\n仓库=02|五金仓\r\n经手人=0001|王洋国\r\n出库类别=202|生产领料\r\n' \
    "$work/erp-odbc/UFDATA_001_2021.db" "$(printf 'lanterno602417' | base64)" | iconv -f UTF-8 -t GBK >"$data/set.ini"
  ODBCSYSINI="$odbc_ini" ODBCINSTINI=odbcinst.ini "$wine" "$inst/quillmark.exe" >"$work/quillmark-odbc.log" 2>&1 &
  pids+=($!)
  win="$(timeout 120 xdotool search --sync --onlyvisible --name '^Quillmark$' | head -n1)"
  [ -n "$win" ] || fail "quillmark.exe over ODBC showed no start window"
  sleep 2
  open_station_and_write "$win" || fail "the scanning window did not open over ODBC"
  why="$(check_voucher "$work/erp-odbc/UFDATA_001_2021.db")" || fail "over ODBC: $why"
  echo "voucher written over ODBC through Wine's odbc32: $(sqlite3 "$work/erp-odbc/UFDATA_001_2021.db" "select cCode from rdrecord11 order by ID desc limit 1")"
fi

# The Linux program on the same demo ERP, in a folder of its own (it
# keeps set.ini beside itself there).
linux_ms=""
"$wineserver" -k >/dev/null 2>&1
sleep 1
if [ -x "$linux_quillmark" ]; then
  mkdir -p "$work/linux"
  cp "$linux_quillmark" "$work/linux/"
  cp -r "$(dirname "$linux_quillmark")/wav" "$work/linux/" 2>/dev/null
  write_ini "$work/erp-linux" >"$work/linux/set.ini"
  start=$(now_ms)
  ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb "$work/linux/quillmark" >"$work/linux.log" 2>&1 &
  pids+=($!)
  if timeout 120 xdotool search --sync --onlyvisible --name '^Quillmark$' >/dev/null; then
    linux_ms=$(( $(now_ms) - start ))
  fi
fi
echo "start-up until the start window shows: quillmark.exe under Wine ${wine_ms} ms; Linux program ${linux_ms:-?} ms"
exit 0
