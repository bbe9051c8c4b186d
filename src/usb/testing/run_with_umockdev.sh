#!/bin/sh
# Runs a test program under umockdev's preload library. AddressSanitizer would refuse to start
# with a library preloaded ahead of its runtime; that check is switched off (settings of the
# caller's ASAN_OPTIONS still apply, as they come later).
ASAN_OPTIONS="verify_asan_link_order=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export ASAN_OPTIONS
exec env LD_PRELOAD="libumockdev-preload.so.0${LD_PRELOAD:+:$LD_PRELOAD}" "$@"
