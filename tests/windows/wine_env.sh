# Sourced by the Windows tests' scripts: the environment a Wine program gets
# in the tests' prefix (or the prefix named second) and on the virtual
# display prepare_windows.sh started.
# Usage: . wine_env.sh WINDOWS_BUILD_DIR [PREFIX]
# Wine's menu builder stays off: no run writes menu entries, icons or file
# types of the prefix's programs into the real home folder.
export WINEPREFIX=${2:-$1/wine-prefix} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
if [ -s "$1/xvfb.display" ]; then export DISPLAY=:$(cat "$1/xvfb.display"); fi
