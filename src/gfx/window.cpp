#include "gfx/window.h"
#include "gfx/color.h"
#include "runner/error.h"

#include <cstdio>

RaylibState raylibState;

namespace {
void logToStderr(int, const char* format, va_list args) {
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
}

// raylib keeps the pointer it was given and may read it at the next
// InitWindow, so the text must stay alive until the next title replaces it.
std::string shownTitle;
} // namespace

void initGraphics() {
    SetTraceLogCallback(logToStderr);
}

void showTitle(const std::string& title) {
    shownTitle = title;
    SetWindowTitle(shownTitle.c_str());
}

void openWindow() {
    shownTitle = raylibState.title;
    // A busy display server can refuse the first try; give it two more.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) WaitTime(0.25);
        InitWindow(raylibState.width, raylibState.height, shownTitle.c_str());
        if (IsWindowReady()) break;
    }
    // Drawing into a window that never opened would crash inside raylib.
    if (!IsWindowReady()) error("couldnt open a window, is there a screen to show it on?");
    SetTargetFPS(raylibState.fps);
}

void closeWindow() {
    if (IsWindowReady()) CloseWindow();
}

void requireWindow() {
    if (!raylibState.initialized || !IsWindowReady()) error("Window not initialized");
}

Value raylib_init(Args args) {
    if (args.size() < 3) error("raylib_init requires (width, height, title)");
    raylibState.width = intView(args[0]);
    raylibState.height = intView(args[1]);
    raylibState.title = args[2].text();
    openWindow();
    raylibState.initialized = true;
    return Value();
}

Value raylib_close(Args) {
    if (raylibState.initialized) {
        closeWindow();
        raylibState.initialized = false;
    }
    return Value();
}

Value raylib_clear(Args args) {
    requireWindow();
    ClearBackground(args.empty() ? WHITE : parseColor(args[0]));
    return Value();
}

Value raylib_display(Args) {
    requireWindow();
    EndDrawing();
    BeginDrawing();
    return Value();
}

Value raylib_shouldClose(Args) {
    if (!raylibState.initialized) return Value();
    return Value::boolean(WindowShouldClose());
}

Value window_title(Args args) {
    if (!args.empty() && args[0].is(ValueType::String) && raylibState.initialized)
        showTitle(args[0].text());
    return Value();
}

Value window_clear(Args) {
    if (raylibState.initialized && IsWindowReady()) ClearBackground(BLACK);
    return Value();
}

Value window_color(Args) {
    return Value();
}

Value window_size(Args) {
    return Value();
}

Value deltaTime(Args) {
    return Value::number(GetFrameTime());
}
