# Sourced by the Wine scripts: the environment every Wine process of the tests runs in.
# ZELK_WINEPREFIX names the prefix (created by make-prefix).
: "${ZELK_WINEPREFIX:?set ZELK_WINEPREFIX to the test prefix}"
export WINEPREFIX="$ZELK_WINEPREFIX"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export LC_ALL=ja_JP.UTF-8
unset DISPLAY_FOR_WINE
