-- Creating and calling closures with upvalues.
local function make_adder(n)
  return function(x) return x + n end
end
local function compose(f, g)
  return function(x) return f(g(x)) end
end
local sum = 0
for i = 1, 1000000 do
  local add = make_adder(i)
  local h = compose(add, make_adder(1))
  sum = sum + h(i)
end
local count = 0
local function inc() count = count + 1 end
for i = 1, 10000000 do inc() end
print(sum, count)
