-- Method calls through metatables (__index tables), objects with state.
local Point = {}
Point.__index = Point
function Point.new(x, y) return setmetatable({x = x, y = y}, Point) end
function Point:add(o) return Point.new(self.x + o.x, self.y + o.y) end
function Point:len2() return self.x * self.x + self.y * self.y end
local Counter = setmetatable({}, {__index = Point})
Counter.__index = Counter
function Counter:bump() self.x = self.x + 1; return self end
local acc = Point.new(0, 0)
local d = Point.new(1, 2)
local total = 0
for i = 1, 2000000 do
  acc = acc:add(d)
  total = total + d:len2()
end
local c = setmetatable({x = 0, y = 0}, Counter)
for i = 1, 2000000 do c:bump() end
print(acc.x, acc.y, total, c.x, c:len2())
