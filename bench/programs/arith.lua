local i, count, sum = 0, 0, 0
while i < 3000000 do
    if i % 3 == 0 then count = count + 1 end
    if i % 7 < 3 then sum = sum + i % 11 end
    i = i + 1
end
print(count % 1000 .. " " .. sum % 1000)
