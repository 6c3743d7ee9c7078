t = []
i = 0
while i < 300000:
    t.append(i)
    i = i + 1
total = 0
while len(t) > 0:
    total = total + t.pop() % 3
print(total)
