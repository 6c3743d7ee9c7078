#ifdef _WIN32

#include "platform.hpp"

#include <string>
#include <vector>
#include <windows.h>

namespace fs = std::filesystem;

namespace sfx {

namespace {

static_assert(CREATE_NO_WINDOW == 0x08000000);
static_assert(STARTF_USESHOWWINDOW == 1 && SW_HIDE == 0);
static_assert(sizeof(void*) != 8 || sizeof(STARTUPINFOA) == 104);

std::string utf8Text(const fs::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Each path in double quotes; quotes inside a path are not escaped.
std::string commandLine(const fs::path& program, const std::optional<fs::path>& script) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "\"" + std::string.
    std::string line = "\"";
    line += utf8Text(program);
    line += '"';
    if (script) {
        line += " \"";
        line += utf8Text(*script);
        line += '"';
    }
    return line;
}

} // namespace

std::optional<fs::path> ownProgramPath() {
    char buffer[260] = {};
    if (GetModuleFileNameA(nullptr, buffer, 260) == 0) return std::nullopt;
    return fs::path(buffer);
}

std::optional<int> runAndWait(const fs::path& program, const std::optional<fs::path>& script) {
    std::string line = commandLine(program, script);
    std::vector<char> writableLine(line.begin(), line.end());
    writableLine.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, writableLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process))
        return std::nullopt;

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(exitCode);
}

void markExecutable(const fs::path&) {}

} // namespace sfx

#endif
