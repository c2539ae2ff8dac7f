#!/bin/sh
# Regenerates the demo game's generated images and sounds in assets/ with the tools of a
# build folder (built first):
#   tools/demo_art/make_demo_assets.sh build
set -eu
build=${1:-build}
root=$(cd "$(dirname "$0")/../.." && pwd)
ninja -C "$build" demo_art screen_art menu_options_art diary_art cutscene_art tone
"$build/bin/demo_art" "$root/assets"
"$build/bin/screen_art" "$root/assets"
"$build/bin/menu_options_art" "$root/assets"
"$build/bin/diary_art" "$root/assets"
"$build/bin/cutscene_art" "$root/assets"
mkdir -p "$root/assets/sounds"
# A short click for presses and a softer, higher tick for the roll-over.
"$build/bin/tone" --freq 1046 --seconds 0.05 --amplitude 0.35 --channels 1 "$root/assets/sounds/click.ogg"
"$build/bin/tone" --freq 1568 --seconds 0.03 --amplitude 0.15 --channels 1 "$root/assets/sounds/hover.ogg"
# The clearing's ambient sound: a short, soft bird call now and then.
"$build/bin/tone" --freq 2637 --seconds 0.18 --amplitude 0.12 --channels 1 "$root/assets/sounds/lichtung.ogg"
# The main menu's music: a quiet low hum that loops.
"$build/bin/tone" --freq 196 --seconds 3 --amplitude 0.08 --channels 1 --quality 0 "$root/assets/sounds/menu.ogg"
# The play screens: an item used (a bright chime) or not (a low buzz), the hint's sparkle, a
# find and a miss in the shed.
mkdir -p "$root/assets/audio/sfx"
"$build/bin/tone" --freq 1318 --seconds 0.15 --amplitude 0.2 --channels 1 "$root/assets/sounds/use_ok.ogg"
"$build/bin/tone" --freq 131 --seconds 0.2 --amplitude 0.2 --channels 1 "$root/assets/sounds/use_fail.ogg"
"$build/bin/tone" --freq 1760 --seconds 0.25 --amplitude 0.15 --channels 1 "$root/assets/audio/sfx/hint.ogg"
"$build/bin/tone" --freq 988 --seconds 0.08 --amplitude 0.2 --channels 1 "$root/assets/sounds/hit.ogg"
"$build/bin/tone" --freq 220 --seconds 0.08 --amplitude 0.15 --channels 1 "$root/assets/sounds/miss.ogg"
# The name fields' typing: four short, soft clicks of slightly different pitch. The options'
# test of the effects volume: a short, bright chime.
for n in 1 2 3 4; do
  "$build/bin/tone" --freq $((1700 + 140 * n)) --seconds 0.035 --amplitude 0.18 --channels 1 \
    "$root/assets/audio/sfx/sfx_typing_0$n.ogg"
done
mkdir -p "$root/assets/standard/audio/sfx"
"$build/bin/tone" --freq 1175 --seconds 0.3 --amplitude 0.25 --channels 1 "$root/assets/standard/audio/sfx/positive_sound.ogg"
# The first cutscene: the door slams behind grandpa (a low, short thud).
"$build/bin/tone" --freq 65 --seconds 0.3 --amplitude 0.5 --channels 1 "$root/assets/sounds/tuer_knall.ogg"
