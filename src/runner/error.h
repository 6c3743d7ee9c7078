#pragma once
#include <cstdint>
#include <string>

extern int currentLine;
extern int currentCol;

// The single exit for every syntax and runtime error: prints the error line
// on standard output and ends the process with status 1.
[[noreturn]] void error(const std::string& message);

std::string toLower(std::string s);

// Stops runaway recursion with an error line before the native stack runs out.
inline uintptr_t stackBase = 0;
inline uintptr_t stackBudget = UINTPTR_MAX; // no limit until initStackGuard()
void initStackGuard();
inline void checkStack(const char* message) {
    char here;
    if (stackBase - reinterpret_cast<uintptr_t>(&here) > stackBudget) error(message);
}

#ifdef KRIN_FUZZING
// The fuzzer runs many scripts in one process: errors unwind to it instead
// of ending the process, and every loop pass and call spends fuel.
struct FuzzStop {
    std::string message;
};
void spendFuel();
#define KRIN_SPEND_FUEL() spendFuel()
#else
#define KRIN_SPEND_FUEL()
#endif
