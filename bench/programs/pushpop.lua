local t = {}
local i = 0
while i < 300000 do t[#t + 1] = i i = i + 1 end
local sum = 0
while #t > 0 do sum = sum + t[#t] % 3 t[#t] = nil end
print(string.format("%d", sum))
