#!/bin/sh
# Screenshots in an X server (Xvfb), written as SCREENSHOT_FOLDER/<what>_xvfb.png:
#   xvfb_screenshot.sh start_screen BIN_FOLDER SCREENSHOT_FOLDER    the game's first screen (the main menu)
#                                                   (the real executable with the test hook)
#   xvfb_screenshot.sh display_window BIN_FOLDER SCREENSHOT_FOLDER  the display test's plain
#                                                   800x600 window with a cleared frame
# The screen is grabbed with tools/xshot once it shows the program's picture; a blank screen
# fails. Without xvfb-run (or xshot) the test is skipped (exit 77).
set -eu
mode=$1
bin=$2
out=$3

if [ "${XVFB_SCREENSHOT_INNER:-}" != 1 ]; then
  command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run is missing: skipped"; exit 77; }
  [ -x "$bin/xshot" ] || { echo "xshot was not built (no libX11): skipped"; exit 77; }
  mkdir -p "$out"
  XVFB_SCREENSHOT_INNER=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d /tmp/tarvelon-xvfb-XXXXXX)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$work/xdg" HOME="$work"
# The X libraries keep what they allocate until the process ends.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

shot="$out/${mode}_xvfb.png"
# xvfb-run can hand over before the server takes connections; a program started then finds
# no X display. Wait until the grabber can open it (exit 2 means it could not).
for attempt in $(seq 1 40); do
  probe=0
  "$bin/xshot" "$work/probe.png" 1 > /dev/null 2>&1 || probe=$?
  [ "$probe" != 2 ] && break
  sleep 0.25
done
case "$mode" in
  start_screen)
    colours=500
    mkdir -p "$work/game"
    cp "$bin/tarvelon" "$bin/jxHarness.so" "$work/game/"
    ln -s "$(cd "$bin/assets" && pwd -P)" "$work/game/assets"
    printf 'waitfor %s 120000\nquit\n' "$work/done" > "$work/session"
    (cd "$work/game" && TARVELON_HARNESS_SCRIPT="$work/session" ./tarvelon > "$work/output" 2>&1) &
    ;;
  display_window)
    colours=3
    # The window stays up 5 s after its frame: time enough for the shot.
    TARVELON_HOLD_WINDOW_MS=5000 "$bin/display_tests" --gtest_filter='DisplayWindow.*' > "$work/output" 2>&1 &
    ;;
  *)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
program=$!

# Until the picture is there (at most 90 s); then once more a moment later, so that the shot
# is of a settled screen.
status=3
for attempt in $(seq 1 180); do
  if "$bin/xshot" "$shot" "$colours" > "$work/xshot" 2>&1; then
    sleep 1
    "$bin/xshot" "$shot" "$colours" > "$work/xshot" 2>&1 && status=0
    break
  fi
  kill -0 "$program" 2>/dev/null || break
  sleep 0.5
done
touch "$work/done"
if ! wait "$program"; then
  echo "the program ended with a failure:"
  tail -n 20 "$work/output"
fi
cat "$work/xshot"
if [ "$status" != 0 ]; then
  echo "the screen stayed blank; the program said:"
  cat "$work/output"
  exit 1
fi
echo "screenshot: $shot"
