#!/usr/bin/env bash
# Regenerates the shipped fonts in assets/fonts from the DejaVu Sans fonts of Debian's
# fonts-dejavu-core package (licence: assets/fonts/LICENSE.txt). The engine embeds
# assets/fonts/default.mvec at build time.
#   tools/font_converter/make_default_fonts.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake --build "$build" --target font_converter
fonts=/usr/share/fonts/truetype/dejavu
"$build/bin/font_converter" "$fonts/DejaVuSans.ttf" assets/fonts/default.mvec
"$build/bin/font_converter" "$fonts/DejaVuSans-Bold.ttf" assets/fonts/default_bold.mvec
