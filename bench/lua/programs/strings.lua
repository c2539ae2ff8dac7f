-- String building: concatenation, table.concat, format, find, gsub.
local parts = {}
for i = 1, 200000 do
  parts[i] = string.format("%d:%s", i, "x")
end
local s = table.concat(parts, ",")
print(string.len(s))
local acc = ""
for i = 1, 20000 do
  acc = acc .. "ab"
  if string.len(acc) > 1000 then acc = "" end
end
local n = 0
for i = 1, 20000 do
  local a, b = string.find(s, "199", i, true)
  if a then n = n + 1 end
end
local r = string.gsub(string.rep("hello world ", 20000), "o", "0")
print(n, string.len(r))
