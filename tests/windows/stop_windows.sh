#!/usr/bin/env bash
# Ends what prepare_windows.sh started: the prefix's Wine server (whether or
# not one still runs) and the virtual display.
# Usage: stop_windows.sh WINDOWS_BUILD_DIR WINESERVER
build_dir=$1 wineserver=$2
WINEPREFIX=$build_dir/wine-prefix "$wineserver" -k 2>/dev/null
pid_file=$build_dir/xvfb.pid
if [ -f "$pid_file" ] && grep -q Xvfb "/proc/$(cat "$pid_file")/cmdline" 2>/dev/null; then
  kill "$(cat "$pid_file")"
fi
rm -f "$pid_file" "$build_dir/xvfb.display"
exit 0
