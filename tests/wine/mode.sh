# Sourced: the one place that decides which programs run under Wine on this host.
#   win32  the shipped 32-bit programs under 32-bit Wine;
#   win64  their x86-64 twin (build/win64) under 64-bit Wine, on a host whose kernel
#          refuses 32-bit code (there the 32-bit loader cannot start at all).
# ZELK_WINE_ARCH=win32|win64 forces either. Otherwise the honest probe decides: starting
# the 32-bit Wine loader. Its answer is kept in ZELK_WINE_HOST for child processes.
# Sets ZELK_WINE_ARCH, ZELK_WINE_WHY (one line for the user) and ZELK_WINE_LOADER; returns
# non-zero, with a message, when the mode cannot run here.
zelk_wine_loader32=/usr/lib/wine/wine
zelk_wine_loader64=/usr/lib/wine/wine64

if [ -z "${ZELK_WINE_HOST:-}" ]; then
  if "$zelk_wine_loader32" --version >/dev/null 2>&1; then
    ZELK_WINE_HOST=win32
  else
    ZELK_WINE_HOST=win64
  fi
  export ZELK_WINE_HOST
fi

# The reason depends only on the mode and the host, so a child process that inherits the
# exported mode gives the same one.
zelk_wine_mode() {
  ZELK_WINE_ARCH=${ZELK_WINE_ARCH:-$ZELK_WINE_HOST}
  case "$ZELK_WINE_ARCH/$ZELK_WINE_HOST" in
    win32/win32)
      ZELK_WINE_WHY="32-bit programs: this host runs 32-bit code"
      ZELK_WINE_LOADER=$zelk_wine_loader32 ;;
    win32/*)
      echo "ZELK_WINE_ARCH=win32, but this host cannot run 32-bit programs ($zelk_wine_loader32 does not start)" >&2
      return 1 ;;
    win64/win64)
      ZELK_WINE_WHY="x86-64 twin: this host cannot run 32-bit programs"
      ZELK_WINE_LOADER=$zelk_wine_loader64 ;;
    win64/*)
      ZELK_WINE_WHY="x86-64 twin: ZELK_WINE_ARCH=win64"
      ZELK_WINE_LOADER=$zelk_wine_loader64 ;;
    *)
      echo "ZELK_WINE_ARCH must be win32 or win64, not '$ZELK_WINE_ARCH'" >&2
      return 1 ;;
  esac
  export ZELK_WINE_ARCH ZELK_WINE_WHY ZELK_WINE_LOADER
}
zelk_wine_mode
