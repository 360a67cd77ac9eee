# Sourced: the one place that decides which programs run under Wine on this host.
#   win32  the shipped 32-bit programs (build/win) under 32-bit Wine;
#   win64  their x86-64 twin (build/win64) under 64-bit Wine, on a host whose kernel
#          refuses 32-bit code (there the 32-bit loader cannot start at all).
# The user's ZELK_WINE_ARCH=win32|win64 forces either; otherwise starting the 32-bit loader
# decides. The decision goes to child processes under names of its own, so that a child
# never takes it for a forced one (and keeps it unless it is itself forced otherwise):
#   ZELK_MODE_ARCH    win32 or win64
#   ZELK_MODE_WHY     one line for the user: which programs run, and why
#   ZELK_MODE_LOADER  the Wine loader of that architecture
#   ZELK_BUILD        the build folder (default: build in the source tree)
#   ZELK_MODE_TREE    the Windows tree of those programs in it
# Returns non-zero, with a message, when the forced mode cannot run here.
zelk_mode() {
  local loader32=/usr/lib/wine/wine loader64=/usr/lib/wine/wine64 host
  ZELK_BUILD=${ZELK_BUILD:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build}
  if [ -z "${ZELK_MODE_ARCH:-}" ] || [ "${ZELK_WINE_ARCH:-$ZELK_MODE_ARCH}" != "$ZELK_MODE_ARCH" ]; then
    host=win64
    "$loader32" --version >/dev/null 2>&1 && host=win32
    case "${ZELK_WINE_ARCH:-$host}/$host" in
      win32/win32) ZELK_MODE_WHY="32-bit programs: this host runs 32-bit code" ;;
      win32/*)
        echo "ZELK_WINE_ARCH=win32, but this host cannot run 32-bit programs ($loader32 does not start)" >&2
        return 1 ;;
      win64/win64) ZELK_MODE_WHY="x86-64 twin: this host cannot run 32-bit programs" ;;
      win64/*) ZELK_MODE_WHY="x86-64 twin: ZELK_WINE_ARCH=win64" ;;
      *)
        echo "ZELK_WINE_ARCH must be win32 or win64, not '$ZELK_WINE_ARCH'" >&2
        return 1 ;;
    esac
    ZELK_MODE_ARCH=${ZELK_WINE_ARCH:-$host}
  fi
  if [ "$ZELK_MODE_ARCH" = win64 ]; then
    ZELK_MODE_LOADER=$loader64 ZELK_MODE_TREE=$ZELK_BUILD/win64
  else
    ZELK_MODE_LOADER=$loader32 ZELK_MODE_TREE=$ZELK_BUILD/win
  fi
  export ZELK_MODE_ARCH ZELK_MODE_WHY ZELK_MODE_LOADER ZELK_BUILD ZELK_MODE_TREE
}
zelk_mode
