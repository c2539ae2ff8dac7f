-- Array fill and sum, string-keyed fields.
local t = {}
for round = 1, 60 do
  for i = 1, 200000 do t[i] = i + round end
  local s = 0
  for i = 1, table.getn(t) do s = s + t[i] end
  if round == 60 then print(s) end
end
local rec = {}
local keys = {}
for i = 1, 1000 do keys[i] = "key" .. i end
for round = 1, 1000 do
  for i = 1, 1000 do rec[keys[i]] = i end
  local s = 0
  for i = 1, 1000 do s = s + rec[keys[i]] end
  if round == 1000 then print(s) end
end
