#!/bin/sh
# Regenerates the demo game's generated images and sounds in assets/ with the tools of a
# build folder (built first):
#   tools/demo_art/make_demo_assets.sh build
set -eu
build=${1:-build}
root=$(cd "$(dirname "$0")/../.." && pwd)
ninja -C "$build" demo_art screen_art menu_options_art diary_art cutscene_art chapter_two_art tone
"$build/bin/demo_art" "$root/assets"
"$build/bin/screen_art" "$root/assets"
"$build/bin/menu_options_art" "$root/assets"
"$build/bin/diary_art" "$root/assets"
"$build/bin/cutscene_art" "$root/assets"
"$build/bin/chapter_two_art" "$root/assets"
mkdir -p "$root/assets/sounds"
# A short click for presses and a softer, higher tick for the roll-over.
"$build/bin/tone" --freq 1046 --seconds 0.05 --amplitude 0.35 --channels 1 "$root/assets/sounds/click.ogg"
"$build/bin/tone" --freq 1568 --seconds 0.03 --amplitude 0.15 --channels 1 "$root/assets/sounds/hover.ogg"
# The clearing's ambient sound: a short, soft bird call now and then.
"$build/bin/tone" --freq 2637 --seconds 0.18 --amplitude 0.12 --channels 1 "$root/assets/sounds/lichtung.ogg"
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
# The music: short tunes that loop, one for the main menu (A minor, calm), one for each
# chapter (the first bright and walking, the second slow and a little eerie), mono at
# 22050 Hz to stay small.
mkdir -p "$root/assets/audio/music"
music() {
  "$build/bin/tone" --channels 1 --rate 22050 --quality 0 --amplitude 0.22 "$@"
}
music --tempo 84 "$root/assets/audio/music/menu.ogg" \
  --notes "bell:A4/1 C5/1 E5/2 D5/1 C5/1 B4/2 C5/1 B4/1 A4/1 G4/1 A4/3 R/1" \
  --notes "soft:A2/4 F2/4 C3/4 E2/4" \
  --notes "soft:R/0.5 E3/3.5 R/0.5 C3/3.5 R/0.5 G3/3.5 R/0.5 B2/3.5"
music --tempo 112 "$root/assets/audio/music/kapitel1.ogg" \
  --notes "soft:D5/1 F#5/1 A5/1 F#5/1 G5/2 E5/2 D5/1 E5/1 F#5/1 D5/1 B4/2 A4/2 B4/1 D5/1 E5/1 G5/1 F#5/2 E5/2 D5/1 C#5/1 B4/1 C#5/1 D5/3 R/1" \
  --notes "soft:D3/4 G2/4 D3/4 A2/4 G2/4 D3/4 A2/4 D3/4" \
  --notes "bell:R/6 A5/2 R/6 F#5/2 R/6 B5/2 R/6 D6/2"
music --tempo 76 "$root/assets/audio/music/kapitel2.ogg" \
  --notes "bell:E5/2 G5/1 F#5/1 E5/2 B4/2 C5/2 D5/1 C5/1 B4/3 R/1" \
  --notes "soft:E2/4 C3/4 A2/4 B2/4" \
  --notes "soft:B3/4 G3/4 E3/4 D#4/4"
# The pond's ambience: water rustling, a frog calling twice and a drop falling.
"$build/bin/tone" --channels 1 --rate 22050 --quality 0 --amplitude 0.3 --tempo 60 --noise 0.04 \
  --notes "croak:R/2.5 G2/0.35 R/0.15 A2/0.5 R/4.5" --notes "bell:R/6 E6/0.2 R/1.8" \
  "$root/assets/sounds/teich.ogg"
