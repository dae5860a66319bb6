# Sourced by wine_test.sh and bench/windows-run:
#   wine_prefix PREFIX   sets up a new Wine prefix for the game's window
#                        (WINEPREFIX, WINEDEBUG and WINEDLLOVERRIDES exported;
#                        $wine and $wineserver name the programs)
#   wine_end             ends its wineserver and removes it
wine=${SUIREI_WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver

wine_prefix() {
  # No Wine debug chatter, no offer to install Mono or Gecko.
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  unset WAYLAND_DISPLAY
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot --init > "$WINEPREFIX.log" 2>&1 ||
    { echo "Wine could not set up its prefix:"; cat "$WINEPREFIX.log"; return 1; }
  # Without a window manager Wine waits some 2 s for each window it destroys
  # unless it manages its windows itself; and its dialogs (message boxes, the
  # title bar) fall back to a face without Japanese unless told to use
  # IPAGothic.
  cat > "$WINEPREFIX/suirei.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Tahoma"="IPAGothic"
REG
  "$wine" regedit /S "$(printf 'Z:%s' "${WINEPREFIX//\//\\}")\\suirei.reg" ||
    { echo "Wine did not take the game's settings"; return 1; }
}

wine_end() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  "$wineserver" -k 2> /dev/null
  "$wineserver" -w 2> /dev/null
  rm -rf "$WINEPREFIX" "$WINEPREFIX.log"
}
