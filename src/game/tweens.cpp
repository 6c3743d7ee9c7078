#include "game/animation.h"
#include "runner/error.h"

// A tween is a plain table, so scripts can read and retune its fields.
Value tweenNew(Args args) {
    if (args.size() < 4) error("Tween.new needs (from, to, duration, easing)");
    Value tween = Value::newTable();
    Environment& t = *tween.env();
    t.set("from", Value::number(args[0].num()));
    t.set("to", Value::number(args[1].num()));
    t.set("duration", Value::number(args[2].num()));
    t.set("easing", Value::number(args[3].num()));
    t.set("elapsed", Value::number(0));
    t.set("active", Value::boolean(true));
    t.set("current", Value::number(args[0].num()));
    t.set("progress", Value::number(0));
    t.set("callback", args.size() > 4 ? args[4] : Value());
    return tween;
}

// Codes 1 to 3 are quadratic in, out and in-out; anything else is linear.
static double ease(double code, double t) {
    if (code == 1) return t * t;
    if (code == 2) return (2 - t) * t;
    if (code == 3) return t < 0.5 ? (t + t) * t : (4 - (t + t)) * t - 1;
    return t;
}

Value tweenUpdate(Args args) {
    if (args.size() < 2) error("Tween:update needs (tween, deltaTime)");
    if (!args[0].is(ValueType::Table)) error("first arg must be tween");
    // Keep the table alive even if the callback drops the script's handle.
    Value tween = args[0];
    Environment& fields = *tween.env();
    // Missing fields are added as null, which reads as 0.
    double elapsed = fields["elapsed"].num();
    double duration = fields["duration"].num();
    double from = fields["from"].num();
    double to = fields["to"].num();
    double easing = fields["easing"].num();

    elapsed += args[1].num();
    if (duration <= 0) duration = 1e-6;
    if (elapsed >= duration) elapsed = duration;
    double eased = ease(easing, elapsed / duration);
    double current = (to - from) * eased + from;
    fields["current"] = Value::number(current);
    fields["progress"] = Value::number(eased);
    fields["elapsed"] = Value::number(elapsed);
    if (elapsed >= duration) fields["active"] = Value::boolean(false);

    // Only natives are called back, on every update, finished or not.
    Value callback = fields["callback"];
    if (callback.is(ValueType::Native)) {
        Value argument[] = {Value::number(current)};
        callback.nativeObj()->fn(Args(argument));
    }
    return Value::number(current);
}

Value tweenGetValue(Args args) {
    if (args.empty() || !args[0].is(ValueType::Table)) error("Tween.getValue needs tween");
    Value* current = args[0].env()->find("current");
    if (!current) error("Tween has no current value");
    return *current;
}
