class Obj:
    def __init__(self):
        self.total = 0
    def add(self, x):
        self.total = self.total + x
        return self.total
obj = Obj()
i = 0
while i < 1000000:
    obj.add(i % 10)
    i = i + 1
print(obj.total % 1000)
