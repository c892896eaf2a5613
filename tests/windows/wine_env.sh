# Sourced by the Windows tests' scripts: the environment a Wine program gets
# in the tests' prefix (or the prefix named second) and on the virtual
# display prepare_windows.sh started.
# Usage: . wine_env.sh WINDOWS_BUILD_DIR [PREFIX]
export WINEPREFIX=${2:-$1/wine-prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -s "$1/xvfb.display" ]; then export DISPLAY=:$(cat "$1/xvfb.display"); fi
