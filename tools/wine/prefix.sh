# Sourced by the Wine runners: a fresh, headless 64-bit prefix for this run,
# with one wineserver kept alive so that each later step starts in a fraction
# of a second, and everything removed when the calling script exits.
export WINEDEBUG=-all WINEARCH=win64
unset DISPLAY
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tessel-wine.XXXXXX")
export WINEPREFIX
wine_prefix_remove() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap wine_prefix_remove EXIT
# The persistent server must start first: once wineboot has one running,
# `wineserver -p` refuses with status 2.
wineserver -p
# Without the overrides, creating the prefix offers to download Mono and Gecko.
WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
# No display: Wine's null graphics driver still makes windows (the property
# page's), where without a driver every window fails. The desktop reads the
# driver when it starts, so the server starts over. Only runners that show
# windows ask for it: with it, a modal dialog waits for a user.
wine_prefix_null_display() {
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -k
  wineserver -p
}
