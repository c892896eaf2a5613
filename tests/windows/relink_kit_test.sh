#!/usr/bin/env bash
# The relinking kit that tavrel-setup.exe carries links a working tavrel.exe
# with the Qt for Windows, as a user's own Qt would be linked.
# Usage: relink_kit_test.sh WINDOWS_BUILD_DIR QT_PREFIX WINE64
set -euo pipefail
build_dir=$1 qt_prefix=$2 wine=$3

relinked=$build_dir/relinked
rm -rf "$relinked"
trap 'rm -rf "$relinked"' EXIT
cmake -S "$build_dir/installer/relink" -B "$relinked" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  --toolchain "$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" >/dev/null
cmake --build "$relinked" >/dev/null

. "$(dirname "$0")/wine_env.sh" "$build_dir"
expected=$(timeout -k 5 60 "$wine" "$build_dir/app/tavrel.exe" --help </dev/null)
said=$(timeout -k 5 60 "$wine" "$relinked/tavrel.exe" --help </dev/null)
[ "$said" = "$expected" ] || { echo "the relinked tavrel.exe said: $said" >&2; exit 1; }
# It is a whole window program: its windows come up and it ends by itself.
timeout -k 5 90 "$wine" "$relinked/tavrel.exe" --simulate --connect com1:9600 --exit-when-shown \
  </dev/null
echo "the relinked tavrel.exe runs"
