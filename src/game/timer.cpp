#include "game/animation.h"
#include "runner/error.h"

#include <chrono>
#include <thread>

// Blocks the whole interpreter, window included.
Value timerWait(Args args) {
    if (args.empty()) error("delay needs seconds");
    int32_t milliseconds = intView(1000 * args[0].num());
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return Value();
}
