// Draws through the natives into a real window and reads the frame back.
#include "gfx/color.h"
#include "gfx/draw.h"
#include "gfx/window.h"

#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <raylib.h>
#include <rlgl.h>
#include <vector>

namespace {
constexpr int screenW = 200, screenH = 150;

Value arg(double d) {
    return Value::number(d);
}
Value arg(int i) {
    return Value::number(i);
}
Value arg(const char* s) {
    return Value::string(s);
}
Value arg(Value v) {
    return v;
}

template <class... T> Value call(Value (*native)(Args), T... values) {
    std::vector<Value> args{arg(values)...};
    return native(Args(args));
}

Value vec(double x, double y) {
    return Value::vector2(x, y);
}

Value table(std::initializer_list<std::pair<const char*, double>> entries) {
    Value t = Value::newTable();
    for (auto& [k, v] : entries)
        t.env()->set(k, Value::number(v));
    return t;
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// The finished frame, read back just before it is presented.
class Frame {
  public:
    Frame() {
        rlDrawRenderBatchActive();
        image_ = LoadImageFromScreen();
    }
    ~Frame() {
        UnloadImage(image_);
        call(raylib_display);
    }
    Rgb at(int x, int y) const {
        Color c = GetImageColor(image_, x, y);
        return {c.r, c.g, c.b};
    }
    int count(Rgb want) const {
        int n = 0;
        for (int y = 0; y < image_.height; ++y)
            for (int x = 0; x < image_.width; ++x)
                n += at(x, y) == want;
        return n;
    }

  private:
    Image image_;
};

constexpr Rgb black{0, 0, 0}, white{255, 255, 255}, red{230, 41, 55}, blue{0, 121, 241},
    grey{128, 128, 128};

class Pixels : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        initGraphics();
        call(raylib_init, screenW + 0.9, screenH + 0.9, "pixels");
    }
    void SetUp() override { call(raylib_clear, "black"); }
};

TEST_F(Pixels, WindowTakesTruncatedSize) {
    EXPECT_EQ(GetScreenWidth(), screenW);
    EXPECT_EQ(GetScreenHeight(), screenH);
    Frame f;
}

TEST_F(Pixels, ClearColorForms) {
    struct Case {
        Value color;
        Rgb want;
    };
    const Case cases[] = {
        {Value::string("RED"), red},
        {Value::string("Gray"), {130, 130, 130}},
        {Value::string("lightgray"), {200, 200, 200}},
        {Value::string("brown"), {127, 106, 79}},
        {Value::string("no such color"), grey},
        {Value::string("#ff0000"), grey},
        {Value::string(" red"), grey},
        {Value::number(5), white},
        {vec(1, 2), white},
        {table({{"r", 255}}), {255, 128, 128}},
        {table({{"r", 256.7}, {"g", 300}, {"b", -1}}), {0, 44, 255}},
        {table({{"r", 1e300}, {"g", NAN}, {"b", 2.9}}), {0, 0, 2}},
        {call(colorFromHEX, "#FF8000"), {255, 128, 0}},
        {call(colorNew, 300, -5, 7), {44, 251, 7}},
    };
    for (const Case& c : cases) {
        call(raylib_clear, c.color);
        Frame f;
        EXPECT_EQ(f.at(0, 0), c.want) << valueToString(c.color);
    }
    call(raylib_clear);
    {
        Frame f;
        EXPECT_EQ(f.at(5, 5), white) << "raylib_clear() is white";
    }
    call(window_clear);
    Frame f;
    EXPECT_EQ(f.at(5, 5), black) << "window_clear() is black";
}

TEST_F(Pixels, RectanglesAreFilledWithWhiteByDefault) {
    call(raylib_drawRect, 10, 10, 50, 20);
    call(fillRect, 100.9, 40.9, 10, 10, table({{"r", 0}, {"g", 0}, {"b", 255}}));
    Frame f;
    EXPECT_EQ(f.count(white), 50 * 20);
    EXPECT_EQ(f.at(10, 10), white);
    EXPECT_EQ(f.at(59, 29), white);
    EXPECT_EQ(f.at(35, 20), white) << "filled, not an outline";
    EXPECT_EQ(f.at(60, 10), black);
    EXPECT_EQ(f.at(10, 30), black);
    EXPECT_EQ(f.at(100, 40), (Rgb{0, 0, 255}));
    EXPECT_EQ(f.at(109, 49), (Rgb{0, 0, 255}));
    EXPECT_EQ(f.at(110, 50), black);
}

TEST_F(Pixels, TransparentColorLeavesBackground) {
    call(raylib_drawRect, 0, 0, 20, 20, table({{"r", 255}, {"g", 255}, {"b", 255}, {"a", 0}}));
    call(raylib_drawRect, 20, 0, 20, 20, table({{"r", 255}, {"g", 255}, {"b", 255}, {"a", 256}}));
    Frame f;
    EXPECT_EQ(f.at(10, 10), black);
    EXPECT_EQ(f.at(30, 10), black) << "alpha 256 wraps to 0";
}

TEST_F(Pixels, CircleRadiusIsTruncated) {
    call(raylib_drawCircle, 50, 50, 10.9, "red");
    call(fillCircle, 150, 50, 10);
    Frame f;
    EXPECT_EQ(f.at(50, 50), red);
    EXPECT_EQ(f.at(50 + 9, 50), red);
    EXPECT_EQ(f.at(50 + 10, 50), black) << "radius 10.9 draws as 10";
    EXPECT_EQ(f.at(50, 50 + 11), black);
    EXPECT_EQ(f.at(150 - 9, 50), white);
    EXPECT_EQ(f.at(150 + 6, 50 + 6), white) << "filled";
}

TEST_F(Pixels, LineAndText) {
    call(raylib_drawLine, 0, 100, 199, 100, "blue");
    call(raylib_drawText, "Hello", 10, 10, 20, "yellow");
    Frame f;
    EXPECT_TRUE(f.at(100, 100) == blue || f.at(100, 99) == blue);
    EXPECT_EQ(f.at(100, 95), black);
    // The text covers pixels from its corner to about its measured width.
    int width = static_cast<int>(call(textWidth, "Hello", 20).num());
    int right = -1, bottom = -1, top = screenH;
    for (int y = 0; y < screenH; ++y)
        for (int x = 0; x < screenW; ++x)
            if (f.at(x, y) == Rgb{253, 249, 0}) {
                right = std::max(right, x);
                bottom = std::max(bottom, y);
                top = std::min(top, y);
            }
    EXPECT_GT(width, 40);
    EXPECT_GE(right, 10 + width - 4);
    EXPECT_LE(right, 10 + width);
    EXPECT_GE(top, 10);
    EXPECT_LE(bottom, 10 + 20);
}

TEST_F(Pixels, TriangleAndPolygon) {
    call(drawTriangle, vec(50, 20), vec(20, 80), vec(80, 80), "blue");
    // A square on its corner; the radius is narrowed, not truncated.
    call(drawPoly, vec(150, 50.5), 4, 31.8, "red");
    Frame f;
    EXPECT_EQ(f.at(50, 60), blue);
    EXPECT_EQ(f.at(25, 25), black);
    EXPECT_EQ(f.at(150, 50), red);
    EXPECT_EQ(f.at(150 - 32, 50), red) << "31.8 reaches 31.5 along the axis";
    EXPECT_EQ(f.at(150 + 20, 50 + 20), black) << "corners are cut";
}

TEST_F(Pixels, ArcIsABandTwoUnitsThick) {
    call(drawArc, vec(100, 75), 50, 0, 90, "blue");
    Frame f;
    auto onCircle = [&](double radius, double degrees) {
        double a = degrees * PI / 180;
        return f.at(static_cast<int>(100 + radius * std::cos(a)),
                    static_cast<int>(75 + radius * std::sin(a)));
    };
    EXPECT_EQ(onCircle(49, 45), blue);
    EXPECT_EQ(onCircle(49, 10), blue);
    EXPECT_EQ(onCircle(45, 45), black) << "inside the band";
    EXPECT_EQ(onCircle(52, 45), black) << "outside the band";
    EXPECT_EQ(onCircle(49, 135), black) << "past the end angle";
    EXPECT_EQ(onCircle(49, -45), black) << "before the start angle";
}

TEST_F(Pixels, ExtremeNumbersNeitherCrashNorStall) {
    auto start = std::chrono::steady_clock::now();
    const double extremes[] = {NAN, INFINITY, -INFINITY, 1e300, -1e300, 3e9, 2147483647};
    for (double e : extremes) {
        call(raylib_drawRect, e, e, e, e, "red");
        call(raylib_drawCircle, e, 10, e, "red");
        call(raylib_drawLine, e, 0, e, e);
        call(raylib_drawText, "x", e, e, e);
        call(drawTriangle, vec(e, 0), vec(0, e), vec(e, e), "red");
        call(drawPoly, vec(10, 10), e, e, "red");
        call(drawPoly, vec(10, 10), 2000000000, 5, "red");
        call(drawArc, vec(e, e), e, 0, e, "red");
        call(drawArc, vec(100, 75), 5, -e, e, "red");
        call(textWidth, "abc", e);
    }
    Frame f;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
}
} // namespace
