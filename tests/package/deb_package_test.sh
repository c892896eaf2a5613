#!/bin/sh
# Builds the Debian package from a built tree, unpacks it into a temporary
# folder and runs the unpacked programs.
#   deb_package_test.sh BUILD_DIR LIBDIR
set -eu
build=$1
libdir=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-deb-XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
set -- "$work"/out/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one .deb in $work/out"
deb=$1

# Depends is worked out from the libraries the programs link.
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for package in libc6 libstdc++6 libqt6widgets6 libqt6network6; do
  echo "$depends" | grep -q "$package" || fail "Depends lacks $package"
done

root="$work/root"
dpkg -x "$deb" "$root"
for file in \
  usr/bin/tavrel usr/bin/tavrelctl usr/bin/tavrel-camsim \
  "usr/$libdir/tavrel/libclsersim.so" \
  usr/share/applications/tavrel.desktop \
  usr/share/mime/packages/tavrel-tdx.xml \
  usr/share/icons/hicolor/scalable/apps/tavrel.svg \
  usr/share/icons/hicolor/16x16/apps/tavrel.png \
  usr/share/icons/hicolor/256x256/apps/tavrel.png; do
  [ -f "$root/$file" ] || fail "missing $file"
done
grep -qx "Icon=tavrel" "$root/usr/share/applications/tavrel.desktop" || fail "desktop entry icon"

# The unpacked programs run from where they were unpacked.
output=$("$root/usr/bin/tavrelctl" --simulate read-all) || fail "tavrelctl --simulate read-all"
echo "$output" | grep -q "GAIN" || fail "read-all printed no GAIN: $output"
"$root/usr/bin/tavrelctl" --board "$root/usr/$libdir/tavrel/libclsersim.so" get GAIN >/dev/null ||
  fail "tavrelctl through the unpacked CameraLink library"
"$root/usr/bin/tavrel-camsim" --help >/dev/null || fail "tavrel-camsim --help"
"$root/usr/bin/tavrel" --help >/dev/null || fail "tavrel --help"
echo "package ok: $(basename "$deb")"
