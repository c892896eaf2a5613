#!/usr/bin/env bash
# Builds the Windows binaries in their own build folder and readies a private
# Wine prefix in it whose COM1 and COM10 are symbolic links the tests point
# at a pseudo-terminal.
# Usage: prepare_windows.sh SOURCE_DIR WINDOWS_BUILD_DIR WINE64 WINESERVER
set -euo pipefail
source_dir=$1 build_dir=$2 wine=$3 wineserver=$4

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_WERROR=ON \
  --toolchain "$source_dir/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build_dir"

export WINEPREFIX=$build_dir/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
ports='HKLM\Software\Wine\Ports'
if [ ! -f "$WINEPREFIX/system.reg" ] || ! grep -q "com10-link" "$WINEPREFIX/system.reg"; then
  "$wine" wineboot -i >/dev/null 2>&1
  "$wine" reg add "$ports" /v COM1 /t REG_SZ /d "$build_dir/com1-link" /f >/dev/null
  "$wine" reg add "$ports" /v COM10 /t REG_SZ /d "$build_dir/com10-link" /f >/dev/null
  # dosdevices/com1 and com10 are made from the registry when Wine starts.
  "$wineserver" -k || true
  "$wineserver" -w || true
fi

# A Wine server and Wine's own services that outlive a test's tavrelctl.exe
# would hold the test's output pipes open until they exit; started here, with
# no pipes, they serve every test (and end a minute after the last one).
"$wineserver" -p60 </dev/null >/dev/null 2>&1 || true  # (fails when one runs already)
"$wine" "$build_dir/cli/tavrelctl.exe" --help </dev/null >/dev/null 2>&1
