# Sourced by scripts/test, scripts/with-wine and bench/startup: one private
# Wine prefix and one Xvfb display for a run.
#
# Debian's wine wrapper starts a wineserver that quits with its last client;
# a program started right after can catch it shutting down (exit code 1, no
# output, "recvmsg: Connection reset by peer"). So the run keeps one
# persistent wineserver and stops it at the end.

wine_rig_log() { echo "wine: $*"; }

# wine_rig_start PREFIX_DIR: a fresh prefix, a display, a persistent server.
wine_rig_start() {
  local prefix=$1
  export WINEPREFIX=$prefix
  export WINEARCH=win64
  export WINEDEBUG=-all
  # No prompts to install Mono or Gecko.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # Wine's caches and fontconfig's stay inside the build folder.
  export XDG_CACHE_HOME=$prefix-cache
  # Wine converts the Unix environment and command lines with the locale's
  # character set.
  export LC_ALL=C.UTF-8
  wine_rig_choose_loader "$prefix"

  wine_rig_start_display
  # A server left by an interrupted run of this prefix is stopped first.
  if [[ -d $WINEPREFIX ]]; then wineserver -k >/dev/null 2>&1 || true; fi
  rm -rf "$WINEPREFIX" "$XDG_CACHE_HOME"
  mkdir -p "$WINEPREFIX" "$XDG_CACHE_HOME"
  wineserver -p
  WINE_RIG_SERVER=1
  if ! wineboot -i >"$prefix.wineboot.log" 2>&1; then
    wine_rig_log "wineboot -i failed, see $prefix.wineboot.log" >&2
    return 1
  fi
  # The first boot of a new prefix can leave a second service manager that
  # goes on starting the auto-start services for minutes, each start waiting
  # for its pipe to time out. A console program that calls the service
  # dispatcher meanwhile is handed one of those starts. A second boot of the
  # finished prefix starts every service once, under one manager, and returns
  # when they run.
  wineserver -k
  wineserver -w
  wineserver -p
  if ! wineboot >>"$prefix.wineboot.log" 2>&1; then
    wine_rig_log "wineboot failed, see $prefix.wineboot.log" >&2
    return 1
  fi
}

# Debian's wrapper runs Wine's 32-bit loader whenever wine32 is installed,
# and it starts 64-bit programs in turn. A kernel built without 32-bit
# support runs no 32-bit program at all; then `wine` and `wine-stable` (which
# wineboot calls) lead straight to the 64-bit loader, and
# TARN_WINE_32BIT=no tells the callers that 32-bit Windows programs cannot
# run here.
wine_rig_choose_loader() {
  local prefix=$1 shims=$1-loader
  export TARN_WINE_32BIT=yes
  if /usr/lib/wine/wine --version >/dev/null 2>&1 || [[ ! -x /usr/lib/wine/wine64 ]]; then
    return 0
  fi
  TARN_WINE_32BIT=no
  export WINELOADER=/usr/lib/wine/wine64
  mkdir -p "$shims"
  local name
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/$name"
    chmod +x "$shims/$name"
  done
  case ":$PATH:" in *":$shims:"*) ;; *) export PATH=$shims:$PATH ;; esac
  wine_rig_log "this kernel runs no 32-bit programs: 64-bit Wine only"
}

# Starts Xvfb on the first free display from :99 and exports DISPLAY.
wine_rig_start_display() {
  local n
  for ((n = 99; n < 199; n++)); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_RIG_XVFB_PID=$!
    local tries
    for ((tries = 0; tries < 100; tries++)); do
      if [[ -S /tmp/.X11-unix/X$n ]]; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$WINE_RIG_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$WINE_RIG_XVFB_PID" 2>/dev/null || true
    wait "$WINE_RIG_XVFB_PID" 2>/dev/null || true
    WINE_RIG_XVFB_PID=
  done
  wine_rig_log "no display could be started; tests that open windows may fail" >&2
}

wine_rig_stop() {
  if [[ -n ${WINE_RIG_SERVER:-} ]]; then
    wineserver -k >/dev/null 2>&1 || true
    WINE_RIG_SERVER=
  fi
  if [[ -n ${WINE_RIG_XVFB_PID:-} ]]; then
    kill "$WINE_RIG_XVFB_PID" 2>/dev/null || true
    wait "$WINE_RIG_XVFB_PID" 2>/dev/null || true
    WINE_RIG_XVFB_PID=
  fi
}
