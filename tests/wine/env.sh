# Sourced by the Wine scripts: the environment every Wine process of the tests runs in.
# ZELK_WINEPREFIX names the prefix (created by make-prefix); mode.sh picks the programs'
# architecture and the loader, which tests/wine/bin names as `wine` (Debian's own `wine`
# picks the 32-bit loader whenever it is installed, even where it cannot run).
: "${ZELK_WINEPREFIX:?set ZELK_WINEPREFIX to the test prefix}"
zelk_wine_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$zelk_wine_dir/mode.sh" || exit 1
export WINEPREFIX="$ZELK_WINEPREFIX"
export WINEARCH=$ZELK_MODE_ARCH
export WINELOADER=$ZELK_MODE_LOADER
case ":$PATH:" in
  *":$zelk_wine_dir/bin:"*) ;;
  *) export PATH="$zelk_wine_dir/bin:$PATH" ;;
esac
# ZELK_WINEDEBUG=+loaddll (any channel list) shows what Wine does, for a test being looked into.
export WINEDEBUG=${ZELK_WINEDEBUG:--all}
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export LC_ALL=ja_JP.UTF-8
unset DISPLAY_FOR_WINE
