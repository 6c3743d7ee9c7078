#include "runner/error.h"

#include <cstdio>
#include <cstdlib>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/resource.h>
#endif

int currentLine = 1;
int currentCol = 1;

void error(const std::string& message) {
#ifdef KRIN_FUZZING
    throw FuzzStop{message};
#endif
    std::printf("error: %s [%d:%d]\n", message.c_str(), currentLine, currentCol);
    std::fflush(stdout);
    std::exit(1);
}

std::string toLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

void initStackGuard() {
    char here;
    stackBase = reinterpret_cast<uintptr_t>(&here);
    size_t size = 8u << 20;
#ifndef _WIN32
    rlimit rl{};
    if (getrlimit(RLIMIT_STACK, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY) size = rl.rlim_cur;
    if (size > (256u << 20)) size = 256u << 20;
#else
    // The main thread's stack is as large as the program asked for at link time.
    ULONG_PTR low = 0;
    ULONG_PTR high = 0;
    GetCurrentThreadStackLimits(&low, &high);
    if (low != 0 && low < stackBase) size = stackBase - low;
#endif
    // Leave room for the deepest expression the parser accepts, and for
    // natives and libraries running on top of the last script frame.
    size_t reserve = size / 4 > (2u << 20) ? size / 4 : (2u << 20);
    stackBudget = size > reserve ? size - reserve : size / 2;
}
