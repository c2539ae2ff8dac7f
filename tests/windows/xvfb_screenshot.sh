#!/bin/sh
# Screenshots in an X server (Xvfb), written as SCREENSHOT_FOLDER/<what>_xvfb.png:
#   xvfb_screenshot.sh start_screen BIN_FOLDER SCREENSHOT_FOLDER    the game's first screen
#                                   (the real executable with the test hook); the X screen
#                                   must show the very frame the game captured of it
#   xvfb_screenshot.sh display_window BIN_FOLDER SCREENSHOT_FOLDER  the display test's plain
#                                   800x600 window with a cleared frame (not blank)
#   xvfb_screenshot.sh walkthrough BIN_FOLDER SCREENSHOT_FOLDER     the whole walkthrough of the
#                                   demo in the real window: SCREENSHOT_FOLDER/<frame>.png of
#                                   every frame it settles (tests/windows/harness_run.h)
# The screen is grabbed with tools/xshot once the program says its picture is up: nothing
# here waits for the machine's pace, only for the program (at most WAIT_LIMIT seconds). Without
# Xvfb (or xshot) the test is skipped (exit 77).
set -eu
mode=$1
bin=$2
out=$3

command -v Xvfb >/dev/null 2>&1 || { echo "Xvfb is missing: skipped"; exit 77; }
[ -x "$bin/xshot" ] || { echo "xshot was not built (no libX11): skipped"; exit 77; }
mkdir -p "$out"

work=$(mktemp -d /tmp/tarvelon-xvfb-XXXXXX)
server=
trap 'touch "$work/done"; [ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$work/xdg" HOME="$work"
# The X libraries keep what they allocate until the process ends.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
WAIT_LIMIT=200

# Waits, in steps of a quarter second, until the command succeeds: false after WAIT_LIMIT
# seconds, or at once when the program (if given) has ended.
wait_until() {
  program=$1
  shift
  tries=$((WAIT_LIMIT * 4))
  while ! "$@"; do
    [ -n "$program" ] && ! kill -0 "$program" 2>/dev/null && return 1
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.25
  done
}

# The server picks a free display number itself and writes it once it takes connections, so
# servers started side by side (several test runs at once) never share a display.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$work/display" > "$work/xvfb.log" 2>&1 &
server=$!
wait_until "$server" test -s "$work/display" || { echo "the X server did not start:"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$work/display")"

shot="$out/${mode}_xvfb.png"
case "$mode" in
  walkthrough)
    # The test shoots the screen itself at each settled frame and fails on a screenshot that
    # does not show its frame.
    rm -f "$out"/*.png
    TARVELON_HARNESS_SCREENS="$out" "$bin/walkthrough_tests" --gtest_filter='Walkthrough.TheWholeDemo*' || exit 1
    echo "screenshots: $(ls "$out" | wc -l) in $out"
    exit 0
    ;;
  start_screen)
    # The game's timer is held and stepped by the hook, so its first screen comes to rest
    # however slow the machine is; the hook captures that frame once it stands still.
    frame="$work/frame.png"
    mkdir -p "$work/game"
    cp "$bin/tarvelon" "$bin/jxHarness.so" "$work/game/"
    ln -s "$(cd "$bin/assets" && pwd -P)" "$work/game/assets"
    printf 'hold\nadvance 3000\nsettle %s 120000\nwaitfor %s %s\nquit\n' "$frame" "$work/done" \
      "$((WAIT_LIMIT * 1000))" > "$work/session"
    (cd "$work/game" && TARVELON_HARNESS_SCRIPT="$work/session" TARVELON_HARNESS_TRANSCRIPT="$work/transcript" \
      ./tarvelon > "$work/output" 2>&1) &
    program=$!
    captured() { grep -q "^capture [a-z]* $frame\$" "$work/transcript" 2>/dev/null; }
    ready() { captured && grep -q "^capture ok $frame\$" "$work/transcript"; }
    shoot() { "$bin/xshot" "$shot" 2 "$frame"; }
    ;;
  display_window)
    # The window stays up until the shot is taken.
    TARVELON_HOLD_WINDOW_UNTIL="$work/done" "$bin/display_tests" --gtest_filter='DisplayWindow.*' \
      > "$work/output" 2>&1 &
    program=$!
    captured() { grep -q "^holding the window" "$work/output"; }
    ready() { captured; }
    shoot() { "$bin/xshot" "$shot" 3; }
    ;;
  *)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac

status=1
if wait_until "$program" captured && ready; then
  status=0
  shoot > "$work/xshot" 2>&1 || status=$?
fi
touch "$work/done"
if ! wait "$program"; then
  echo "the program ended with a failure:"
  tail -n 20 "$work/output"
  status=1
fi
[ -f "$work/xshot" ] && cat "$work/xshot"
if [ "$status" != 0 ]; then
  echo "the screen does not show the program's picture; the program said:"
  cat "$work/output"
  [ -f "$work/transcript" ] && grep -v '^event' "$work/transcript"
  exit 1
fi
echo "screenshot: $shot"
