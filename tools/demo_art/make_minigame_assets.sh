#!/bin/sh
# Regenerates the pictures and sounds of the demo's garden labyrinth, the safe's colour code
# and the dives into the pond in assets/ with the tools of a build folder (built first):
#   tools/demo_art/make_minigame_assets.sh build
set -eu
build=${1:-build}
root=$(cd "$(dirname "$0")/../.." && pwd)
ninja -C "$build" minigame_art tone
"$build/bin/minigame_art" "$root/assets"
sounds="$root/assets/sounds"
sfx="$root/assets/standard/audio/sfx"
mkdir -p "$sounds" "$sfx"
tone="$build/bin/tone --channels 1"
# The gate opens for the lantern; the safe's check, its opening and the cleared row.
$tone --freq 784 --seconds 0.4 --amplitude 0.25 "$sounds/tor.ogg"
$tone --freq 440 --seconds 0.12 --amplitude 0.2 "$sounds/pruefen.ogg"
$tone --freq 880 --seconds 0.5 --amplitude 0.25 "$sounds/tresor_auf.ogg"
$tone --freq 330 --seconds 0.15 --amplitude 0.2 "$sounds/zuruecksetzen.ogg"
# The shark shooter's own sounds of a lost and a won dive.
$tone --freq 220 --seconds 0.4 --amplitude 0.25 "$sfx/negative_sound.ogg"
$tone --freq 1046 --seconds 0.4 --amplitude 0.25 "$sfx/positive_sound.ogg"
