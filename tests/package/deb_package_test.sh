#!/bin/sh
# Builds the Debian package from a built tree, installs it with dpkg into a
# private root (whose package database holds this machine's packages the
# .deb depends on, so its Depends must be met by them) and runs the installed
# programs. Nothing outside the temporary folder is touched: the maintainer
# scripts run without chroot against a stand-in for ldconfig.
#   deb_package_test.sh BUILD_DIR LIBDIR   (LIBDIR: the folder of the CameraLink test library)
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

# Its maintainer is a person or team with a mail address, as the build was
# configured.
maintainer=$(dpkg-deb --field "$deb" Maintainer)
echo "Maintainer: $maintainer"
echo "$maintainer" | grep -Eq '^[^<>]+ <[^<>@ ]+@[^<>@ ]+\.[a-z]+>$' || fail "Maintainer: $maintainer"
case $maintainer in *localhost*) fail "Maintainer at localhost" ;; esac

# Depends is worked out from the libraries the programs link.
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for package in libc6 libstdc++6 libqt6widgets6 libqt6network6; do
  echo "$depends" | grep -q "$package" || fail "Depends lacks $package"
done

# The register editor's Japanese labels need a font with their glyphs.
recommends=$(dpkg-deb --field "$deb" Recommends)
echo "Recommends: $recommends"
[ "$recommends" = fonts-ipaexfont-gothic ] || fail "Recommends is not fonts-ipaexfont-gothic"
# Where the recommended package is installed here, it does bring such a font.
if dpkg-query -W -f '${Status}' fonts-ipaexfont-gothic 2>/dev/null | grep -q "ok installed" &&
  command -v fc-list >/dev/null; then
  font=$(dpkg-query -L fonts-ipaexfont-gothic | grep -E '\.(ttf|otf)$' | head -n 1)
  fc-list ':lang=ja' file | grep -qF "$font" || fail "fonts-ipaexfont-gothic has no Japanese font"
fi

root="$work/root"
admin="$root/var/lib/dpkg"
mkdir -p "$admin/info" "$admin/updates" "$work/stub"
depends_names=$(echo "$depends" | sed 's/([^)]*)//g; s/[,|]/ /g')
# shellcheck disable=SC2086 # one name per word
dpkg-query --status $depends_names >"$admin/status" || fail "a package of Depends is not installed here"
printf '#!/bin/sh\necho "ldconfig $*" >>"%s"\n' "$work/ldconfig.calls" >"$work/stub/ldconfig"
chmod +x "$work/stub/ldconfig"
as_dpkg() {
  PATH="$work/stub:$PATH" dpkg --root="$root" --force-script-chrootless --force-not-root \
    --log=/dev/null "$@" >>"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg $*"; }
}
as_dpkg -i "$deb"
dpkg --root="$root" -s tavrel | grep -qx "Status: install ok installed" || fail "not installed"
dpkg --root="$root" -s tavrel | grep -qx "Recommends: fonts-ipaexfont-gothic" ||
  fail "the installed package does not recommend the font"
dpkg --root="$root" --verify tavrel || fail "installed files differ from the package's"
# The CameraLink test library is off the loader's path: nothing for ldconfig.
[ ! -e "$work/ldconfig.calls" ] || fail "ldconfig called: $(cat "$work/ldconfig.calls")"
for file in \
  usr/bin/tavrel usr/bin/tavrelctl usr/bin/tavrel-camsim \
  "usr/$libdir/libclsersim.so" \
  usr/share/applications/tavrel.desktop \
  usr/share/mime/packages/tavrel-tdx.xml \
  usr/share/icons/hicolor/scalable/apps/tavrel.svg \
  usr/share/icons/hicolor/16x16/apps/tavrel.png \
  usr/share/icons/hicolor/256x256/apps/tavrel.png \
  usr/share/doc/tavrel/copyright \
  usr/share/doc/tavrel/changelog.Debian.gz \
  usr/share/doc/tavrel/README.md.gz; do
  [ -f "$root/$file" ] || fail "missing $file"
done
grep -q "^License: BSD-3-clause" "$root/usr/share/doc/tavrel/copyright" || fail "copyright: CLI11"
grep -q "^License: Expat" "$root/usr/share/doc/tavrel/copyright" || fail "copyright: nlohmann-json"

# Each program's manual page is its --help as the installed program gives it.
for program in tavrel tavrelctl tavrel-camsim; do
  page=$root/usr/share/man/man1/$program.1.gz
  [ -f "$page" ] || fail "missing the manual page of $program"
  title=$(echo "$program" | tr '[:lower:]' '[:upper:]')
  zcat "$page" | grep -q "^\.TH $title 1 " || fail "$program.1 has no title line"
  "$root/usr/bin/$program" --help | grep -v '^$' | sed 's/\\/\\e/g; s/-/\\-/g; s/^[.'"'"']/\\\&&/' \
    >"$work/$program.help"
  zcat "$page" | grep -vxF -f - "$work/$program.help" >"$work/$program.missing" || true
  [ ! -s "$work/$program.missing" ] ||
    fail "$program.1 lacks lines of --help: $(head -n 3 "$work/$program.missing")"
done

# Debian's own check finds no error in it, where this machine has lintian.
if command -v lintian >/dev/null; then
  lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log" >&2; fail "lintian found errors"; }
  cat "$work/lintian.log"
else
  echo "lintian is not installed: not run (scripts/install-deps test installs it)"
fi
grep -qx "Icon=tavrel" "$root/usr/share/applications/tavrel.desktop" || fail "desktop entry icon"

# The installed programs run from where they were installed.
output=$("$root/usr/bin/tavrelctl" --simulate read-all) || fail "tavrelctl --simulate read-all"
echo "$output" | grep -q "GAIN" || fail "read-all printed no GAIN: $output"
"$root/usr/bin/tavrelctl" --board "$root/usr/$libdir/libclsersim.so" get GAIN >/dev/null ||
  fail "tavrelctl through the installed CameraLink library"
"$root/usr/bin/tavrel-camsim" --help >/dev/null || fail "tavrel-camsim --help"
"$root/usr/bin/tavrel" --help >/dev/null || fail "tavrel --help"

# Removed, it leaves none of its files.
as_dpkg --purge tavrel
[ ! -e "$root/usr/bin/tavrelctl" ] || fail "tavrelctl left after removal"
echo "package ok: $(basename "$deb")"
