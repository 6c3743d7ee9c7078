local obj = { total = 0 }
function obj:add(x) self.total = self.total + x return self.total end
local i = 0
while i < 1000000 do obj:add(i % 10) i = i + 1 end
print(obj.total % 1000)
