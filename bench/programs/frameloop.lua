local function clamp(v, lo, hi) if v < lo then return lo elseif v > hi then return hi end return v end
local sin, cos, abs, floor, min, max = math.sin, math.cos, math.abs, math.floor, math.min, math.max
local x, y, hits, frame = 0, 0, 0, 0
while frame < 200000 do
    x = clamp(x + sin(frame) * 3, 0, 800)
    y = clamp(y + cos(frame) * 3, 0, 600)
    if abs(x - y) < 50 then hits = hits + 1 end
    x = floor(x) + min(1, 2)
    y = max(y, 0)
    frame = frame + 1
end
print(hits)
