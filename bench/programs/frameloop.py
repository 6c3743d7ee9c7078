from math import sin, cos, floor
def clamp(v, lo, hi):
    return lo if v < lo else hi if v > hi else v
x = 0
y = 0
hits = 0
frame = 0
while frame < 200000:
    x = clamp(x + sin(frame) * 3, 0, 800)
    y = clamp(y + cos(frame) * 3, 0, 600)
    if abs(x - y) < 50:
        hits = hits + 1
    x = floor(x) + min(1, 2)
    y = max(y, 0)
    frame = frame + 1
print(hits)
