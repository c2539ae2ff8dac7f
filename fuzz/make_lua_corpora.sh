#!/usr/bin/env bash
# Seed corpora for the Lua fuzz targets, made from the repository's own scripts:
#   make_lua_corpora.sh <lua_compiler> <output folder>
# <output>/lua_compile gets every .lua file of the source tree; <output>/lua_undump gets each
# of them compiled, with and without debug information, minus the leading escape byte that
# fuzz_lua_undump puts in front of every input. Scripts that do not compile (the deliberately
# broken fixtures) seed only the compiler.
set -eu
compiler=$1 out=$2
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out/lua_compile" "$out/lua_undump"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

count=0
while IFS= read -r -d '' src; do
  rel=${src#"$root"/}
  name=${rel//\//_}
  name=${name%.lua}
  cp "$src" "$out/lua_compile/$name.lua"
  for variant in full stripped; do
    flags=()
    [ "$variant" = stripped ] && flags=(-s)
    if ASAN_OPTIONS=detect_leaks=0 "$compiler" "${flags[@]}" -o "$tmp/chunk" "$src" 2> /dev/null; then
      tail -c +2 "$tmp/chunk" > "$out/lua_undump/$name.$variant"
    fi
  done
  count=$((count + 1))
done < <(find "$root" \( -path "$root/.git" -o -path "$root/build*" \) -prune -o -name '*.lua' -type f -print0 | sort -z)

echo "Lua seeds: $count scripts in $out/lua_compile, $(ls "$out/lua_undump" | wc -l) chunks in $out/lua_undump"
