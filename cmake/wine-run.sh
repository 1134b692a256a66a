#!/bin/sh
# wine-run.sh PREFIX PROGRAM [ARGS...]
# Runs a Windows program under Wine the way the tests need it: in the Wine
# prefix PREFIX (made on first use), without debug chatter, and in a UTF-8
# locale so that Japanese arguments arrive intact.  Start `wineserver -p`
# with WINEPREFIX=PREFIX before many runs to spare Wine's start-up on each.
WINEPREFIX=$1
shift
export WINEPREFIX WINEDEBUG=-all LANG=C.UTF-8 LC_ALL=C.UTF-8
exec wine "$@"
