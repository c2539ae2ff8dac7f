#!/bin/sh
# Regenerates the pictures and sounds of the demo's garden labyrinth, the safe's colour code,
# the dives into the pond, the workbench's potion, the torn letter, the well lid's mosaic,
# grandpa's picture cards, the villa's door lock, the villa's games and the walk through the fog
# in assets/ with the tools of a build folder (built first):
#   tools/demo_art/make_minigame_assets.sh build
set -eu
build=${1:-build}
root=$(cd "$(dirname "$0")/../.." && pwd)
ninja -C "$build" minigame_art puzzle_art door_lock_art villa_art tone
"$build/bin/minigame_art" "$root/assets"
"$build/bin/puzzle_art" "$root/assets"
"$build/bin/door_lock_art" "$root/assets"
"$build/bin/villa_art" "$root/assets"
sounds="$root/assets/sounds"
sfx="$root/assets/standard/audio/sfx"
mkdir -p "$sounds" "$sfx"
tone="$build/bin/tone --channels 1"
# The gate opens for the lantern; the safe's check, its opening and the cleared row.
$tone --freq 784 --seconds 0.4 --amplitude 0.25 "$sounds/tor.ogg"
$tone --freq 440 --seconds 0.12 --amplitude 0.2 "$sounds/pruefen.ogg"
$tone --freq 880 --seconds 0.5 --amplitude 0.25 "$sounds/tresor_auf.ogg"
$tone --freq 330 --seconds 0.15 --amplitude 0.2 "$sounds/zuruecksetzen.ogg"
# The sound of a lost game: the dive, the portraits, the gallery and the morris board. The won
# game's "positive_sound.ogg" is the options' test chime, made by make_demo_assets.sh.
$tone --freq 220 --seconds 0.4 --amplitude 0.25 "$sfx/negative_sound.ogg"
# The potion mixed, wrong and right; a mosaic tile turned and the lid solved; a
# card turned, a pair found or not, the last pair.
$tone --freq 392 --seconds 0.5 --amplitude 0.22 "$sounds/mischen.ogg"
$tone --freq 196 --seconds 0.45 --amplitude 0.25 "$sounds/falsch.ogg"
$tone --freq 988 --seconds 0.6 --amplitude 0.25 "$sounds/richtig.ogg"
$tone --freq 660 --seconds 0.08 --amplitude 0.2 "$sounds/drehen.ogg"
$tone --freq 587 --seconds 0.1 --amplitude 0.2 "$sounds/karte.ogg"
$tone --freq 784 --seconds 0.25 --amplitude 0.22 "$sounds/paar.ogg"
$tone --freq 262 --seconds 0.25 --amplitude 0.22 "$sounds/kein_paar.ogg"
# The door lock: a bolt slides, a locked bolt knocks, the door opens.
$tone --freq 523 --seconds 0.15 --amplitude 0.2 "$sounds/riegel.ogg"
$tone --freq 147 --seconds 0.2 --amplitude 0.25 "$sounds/verriegelt.ogg"
$tone --freq 659 --seconds 0.6 --amplitude 0.25 "$sounds/tuer_auf.ogg"
