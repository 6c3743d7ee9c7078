#pragma once
#include "lang/value.h"

#include <cstdint>
#include <string>

// The one game window, shared by the flat natives and every window table.
struct RaylibState {
    bool initialized = false; // opened by raylib_init or Window.new, not yet raylib_close'd
    int32_t width = 800;
    int32_t height = 600;
    std::string title = "Krin Game";
    int32_t fps = 60;
    bool isOpen = true; // cleared only by a window table's Close or IsOpen = false
};

extern RaylibState raylibState;

// Sends raylib's log to standard error; run before any other raylib call.
void initGraphics();

// Opens the window at raylibState's size and title, or ends the script.
void openWindow();
// Closes the window if raylib still has one.
void closeWindow();
// Frame and drawing natives need a window that is really there.
void requireWindow();
// Hands a title to raylib from storage that outlives the call.
void showTitle(const std::string& title);

Value raylib_init(Args args);
Value raylib_close(Args args);
Value raylib_clear(Args args);
Value raylib_display(Args args);
Value raylib_shouldClose(Args args);
Value window_title(Args args);
Value window_clear(Args args);
Value window_color(Args args);
Value window_size(Args args);
Value deltaTime(Args args);

// `Window.new(title, size)`: opens the window and returns its table.
Value windowNew(Args args);
