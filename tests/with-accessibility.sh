#!/usr/bin/env bash
# Runs a test program as a desktop with a screen reader runs the program: on a
# virtual display, with a session bus of its own whose accessibility bus is
# up, and Qt's bridge to it switched on. Qt then sends its accessibility
# events, which the test catches in its own process; nothing leaves it.
#
#   tests/with-accessibility.sh PROGRAM [ARGUMENTS...]
#
# Needs Xvfb (xvfb), dbus-run-session (dbus-daemon), dbus-send (dbus-bin) and
# the accessibility bus (at-spi2-core); scripts/test.sh installs them.
set -euo pipefail

# The buses get a runtime folder of their own: the accessibility bus puts its
# socket there, and another session on the machine must not meet it.
# A bus of the user's own must not be found either.
unset AT_SPI_BUS_ADDRESS
if [ -z "${TVC_ACCESSIBILITY_RUNTIME:-}" ]; then
    TVC_ACCESSIBILITY_RUNTIME=$(mktemp -d)
    export TVC_ACCESSIBILITY_RUNTIME
    exec env XDG_RUNTIME_DIR="$TVC_ACCESSIBILITY_RUNTIME" dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
xvfb_pid=""
# Only what this script made goes.
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work" "$TVC_ACCESSIBILITY_RUNTIME"
}
trap cleanup EXIT

# The accessibility bus starts when it is first asked for; Qt looks for it
# only as the program starts.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null

# A free display: Xvfb writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

# Under the sanitizers: a real display loads libraries of its own and unloads
# some before the leak check, whose leftovers it cannot name. The program's
# own leaks are looked for by the tests on the offscreen platform.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"
