#!/usr/bin/env bash
# Builds the Windows binaries in their own build folder (with the window
# program when QT_PREFIX, the Qt for Windows, is given), starts a virtual
# display for the window program, and readies a private Wine prefix in the
# build folder: COM1, COM10 and COM12 (where USB adapters often land) are
# symbolic links the tests point at a pseudo-terminal, and the fonts a Windows has for the window program.
# Usage: prepare_windows.sh SOURCE_DIR WINDOWS_BUILD_DIR WINE64 WINESERVER [QT_PREFIX]
set -euo pipefail
source_dir=$1 build_dir=$2 wine=$3 wineserver=$4 qt_prefix=${5:-}

toolchain=$source_dir/cmake/mingw-w64-x86_64.cmake
configure=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_WERROR=ON)
if [ -n "$qt_prefix" ]; then
  # That Qt's toolchain file finds its packages and chain-loads ours.
  configure+=(-DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain")
  toolchain=$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake
fi
# A build folder set up with the other toolchain starts afresh.
cache=$build_dir/CMakeCache.txt
if [ -f "$cache" ] && ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" "$cache"; then
  configure+=(--fresh)
fi
cmake -S "$source_dir" -B "$build_dir" -G Ninja --toolchain "$toolchain" "${configure[@]}" >/dev/null
cmake --build "$build_dir"

# The virtual display, kept until windows_wine_stop ends it. Xvfb names its
# display once it is ready to take clients; a start that does not get there
# within ten seconds fails here rather than in every test.
display_file=$build_dir/xvfb.display pid_file=$build_dir/xvfb.pid
running_xvfb() {
  [ -f "$pid_file" ] && [ -s "$display_file" ] &&
    grep -q Xvfb "/proc/$(cat "$pid_file")/cmdline" 2>/dev/null
}
if command -v Xvfb >/dev/null && ! running_xvfb; then
  rm -f "$display_file" "$pid_file"
  ready=$build_dir/xvfb.ready
  rm -f "$ready" && mkfifo "$ready"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$ready" </dev/null >/dev/null 2>&1 &
  echo $! >"$pid_file"
  if ! read -r -t 10 number <"$ready"; then
    echo "prepare_windows: the virtual display did not start" >&2
    kill "$(cat "$pid_file")" 2>/dev/null || true
    exit 1
  fi
  rm -f "$ready"
  echo "$number" >"$display_file"
fi
. "$(dirname "$0")/wine_env.sh" "$build_dir"
ports='HKLM\Software\Wine\Ports'
if [ ! -f "$WINEPREFIX/system.reg" ] || ! grep -q "com12-link" "$WINEPREFIX/system.reg"; then
  "$wine" wineboot -i >/dev/null 2>&1
  for port in 1 10 12; do
    "$wine" reg add "$ports" /v COM$port /t REG_SZ /d "$build_dir/com$port-link" /f >/dev/null
  done
  # dosdevices/com1... are made from the registry when Wine starts, and with
  # them the system's list of ports (HARDWARE\DEVICEMAP\SERIALCOMM).
  "$wineserver" -k || true
  "$wineserver" -w || true
fi

# Fonts as a Windows has them: Tahoma, which stands for "MS Shell Dlg" (Wine's
# own, from fonts-wine), and Debian's IPAex Gothic standing in for Yu Gothic
# UI, the Japanese interface font of Windows 10 and later. Text is drawn with
# ClearType, as Windows does by default.
fonts=$WINEPREFIX/drive_c/windows/Fonts
if ! grep -q '"Yu Gothic UI"="IPAexGothic"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  registered='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
  mkdir -p "$fonts"
  for font in /usr/share/wine/fonts/tahoma.ttf:"Tahoma (TrueType)" \
    /usr/share/wine/fonts/tahomabd.ttf:"Tahoma Bold (TrueType)" \
    /usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf:"IPAexGothic (TrueType)"; do
    file=${font%%:*} name=${font#*:}
    if [ -f "$file" ]; then
      cp "$file" "$fonts/"
      "$wine" reg add "$registered" /v "$name" /t REG_SZ /d "${file##*/}" /f >/dev/null
    fi
  done
  "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Yu Gothic UI" /t REG_SZ \
    /d IPAexGothic /f >/dev/null
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v FontSmoothingType /t REG_DWORD /d 2 /f >/dev/null
  "$wineserver" -k || true
  "$wineserver" -w || true
fi

# A Wine server and Wine's own services that outlive a test's program would
# hold the test's output pipes open until they exit; started here, with no
# pipes, they serve every test (and end a minute after the last one).
"$wineserver" -p60 </dev/null >/dev/null 2>&1 || true  # (fails when one runs already)
"$wine" "$build_dir/cli/tavrelctl.exe" --help </dev/null >/dev/null 2>&1
