#!/usr/bin/env bash
# The runner and the chunk compiler from the command line:
#   lua_tools_test.sh <lua_runner> <lua_compiler> <corpus folder>
set -u
runner=$1 compiler=$2 corpus=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# -e code runs, script arguments arrive in `arg'
[ "$("$runner" -e 'print(1 + 1)')" = "2" ] || fail "-e"
printf 'print(arg[0] ~= nil, arg[1], arg[2], arg.n)\n' > "$tmp/args.lua"
[ "$("$runner" "$tmp/args.lua" a b)" = "$(printf 'true\ta\tb\t2')" ] || fail "arguments"

# errors go to standard error with exit code 1
"$runner" -e 'error("boom")' > "$tmp/out" 2> "$tmp/err"
[ $? -eq 1 ] || fail "exit code of an error"
[ ! -s "$tmp/out" ] || fail "error on standard output"
grep -q "boom" "$tmp/err" || fail "error text"
"$runner" -e 'x = = 1' 2> /dev/null && fail "syntax error exit code"
"$runner" "$tmp/missing.lua" 2> "$tmp/err" && fail "missing file exit code"
grep -q "cannot read" "$tmp/err" || fail "missing file message"

# compiled chunks print what their source prints
for src in "$corpus"/*.lua; do
  name=$(basename "$src" .lua)
  "$compiler" -n "@$name.lua" -o "$tmp/$name.luac" "$src" || fail "compiling $name"
  (cd "$corpus" && "$runner" "$tmp/$name.luac") > "$tmp/$name.txt" 2>&1 || fail "running $name.luac"
  if [ "$name" != gc ]; then  # (gc prints memory figures that differ with debug information)
    cmp -s "$tmp/$name.txt" "$corpus/$name.out" || fail "$name.luac output differs"
  fi
done
"$compiler" -s -o "$tmp/stripped.luac" "$corpus/tables.lua" || fail "stripping"
[ "$(wc -c < "$tmp/stripped.luac")" -lt "$(wc -c < "$tmp/tables.luac")" ] || fail "stripped chunk is not smaller"
"$runner" "$tmp/stripped.luac" | cmp -s - "$corpus/tables.out" || fail "stripped chunk output differs"
"$compiler" -p "$corpus/tables.lua" || fail "-p"
printf 'x = = 1\n' > "$tmp/bad.lua"
"$compiler" -o "$tmp/bad.luac" "$tmp/bad.lua" 2> "$tmp/err" && fail "compiling a syntax error"
grep -q "unexpected symbol near" "$tmp/err" || fail "syntax error text"
echo "lua tools: 1 passed, 0 failed"
