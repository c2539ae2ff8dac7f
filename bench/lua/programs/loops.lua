-- Numeric for and while loops with arithmetic.
local sum = 0
for i = 1, 20000000 do
  sum = sum + i * 2 - 1
end
local j, k = 0, 0
while j < 5000000 do
  j = j + 1
  if math.mod(j, 3) == 0 then k = k + j / 3 end
end
print(sum, k)
