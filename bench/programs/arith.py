i = 0
count = 0
total = 0
while i < 3000000:
    if i % 3 == 0:
        count = count + 1
    if i % 7 < 3:
        total = total + i % 11
    i = i + 1
print(count % 1000, total % 1000)
