// The object style: `Window.new` and the setters and methods of its table.
#include "gfx/window.h"
#include "runner/error.h"

#include <raylib.h>

namespace {
using TableRef = Ref<Environment>;

// The one argument must be of `kind`, else the native's own message.
const Value& argumentOf(Args args, ValueType kind, const char* message) {
    if (args.empty() || !args[0].is(kind)) error(message);
    return args[0];
}

Value applyTitle(Environment& table, Args args, const char* message) {
    raylibState.title = argumentOf(args, ValueType::String, message).text();
    showTitle(raylibState.title);
    Value written = Value::string(raylibState.title);
    table.set("Title", written);
    return written;
}

Value applySize(Environment& table, Args args, const char* message) {
    const Value& size = argumentOf(args, ValueType::Vector2, message);
    raylibState.width = intView(size.x());
    raylibState.height = intView(size.y());
    SetWindowSize(raylibState.width, raylibState.height);
    Value written = Value::vector2(raylibState.width, raylibState.height);
    table.set("Size", written);
    return written;
}

Value applyFPS(Environment& table, Args args, const char* message) {
    raylibState.fps = intView(argumentOf(args, ValueType::Number, message));
    SetTargetFPS(raylibState.fps);
    Value written = Value::number(raylibState.fps);
    table.set("FPS", written);
    return written;
}

Value closeFromTable(Environment& table) {
    if (raylibState.initialized && raylibState.isOpen) {
        closeWindow();
        raylibState.isOpen = false;
    }
    Value written = Value::boolean(raylibState.isOpen);
    table.set("IsOpen", written);
    return written;
}

Value applyIsOpen(Environment& table, Args args) {
    // Assigning true never reopens the window.
    if (!argumentOf(args, ValueType::Boolean, "Window.IsOpen must be a boolean").flag())
        return closeFromTable(table);
    Value written = Value::boolean(raylibState.isOpen);
    table.set("IsOpen", written);
    return written;
}

// Each native keeps the table alive: the table holds the natives in turn,
// a cycle that lasts as long as the program.
template <class F> Value bound(const TableRef& table, F apply) {
    return Value::native([table, apply](Args args) { return apply(*table, args); });
}
} // namespace

Value windowNew(Args args) {
    if (args.size() < 2) error("Window.new requires (title, Vector2)");
    if (!args[1].is(ValueType::Vector2)) error("Window.new second argument must be Vector2");
    if (raylibState.initialized && raylibState.isOpen) closeWindow();
    raylibState.title = args[0].text();
    raylibState.width = intView(args[1].x());
    raylibState.height = intView(args[1].y());

    Value window = Value::newTable();
    TableRef table(window.env());
    table->set("Title", Value::string(raylibState.title));
    table->set("Size", Value::vector2(raylibState.width, raylibState.height));
    table->set("FPS", Value::number(raylibState.fps));
    table->set("IsOpen", Value::boolean(true));

    Value setters = Value::newTable();
    Environment& s = *setters.env();
    s.set("Title", bound(table, [](Environment& t, Args a) {
              return applyTitle(t, a, "Window.Title must be a string");
          }));
    s.set("Size", bound(table, [](Environment& t, Args a) {
              return applySize(t, a, "Window.Size must be a Vector2");
          }));
    s.set("FPS", bound(table, [](Environment& t, Args a) {
              return applyFPS(t, a, "Window.FPS must be a number");
          }));
    s.set("IsOpen", bound(table, applyIsOpen));
    table->set("__setters", setters);

    table->set("Close", bound(table, [](Environment& t, Args) { return closeFromTable(t); }));
    table->set("SetTitle", bound(table, [](Environment& t, Args a) {
                   return applyTitle(t, a, "Window.SetTitle requires a string");
               }));
    table->set("SetSize", bound(table, [](Environment& t, Args a) {
                   return applySize(t, a, "Window.SetSize requires a Vector2");
               }));
    table->set("SetFPS", bound(table, [](Environment& t, Args a) {
                   return applyFPS(t, a, "Window.SetFPS requires a number");
               }));

    openWindow();
    raylibState.initialized = true;
    raylibState.isOpen = true;
    return window;
}
