#!/usr/bin/env bash
# Runs a Windows program under Wine the way the build's tests need: a private prefix, no debug noise,
# no offer to install .NET or Gecko, and a timeout so that a crash in Wine's debugger never hangs a run.
set -u
export WINEPREFIX="${CORVANE_WINEPREFIX:-${TMPDIR:-/tmp}/corvane-wineprefix-$(id -u)}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec timeout --kill-after=10 "${CORVANE_WINE_TIMEOUT:-600}" /usr/lib/wine/wine64 "$@"
