#ifndef _WIN32

#include "platform.hpp"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace sfx {

namespace {

int waitForExitCode(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return 0;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    // Killed by a signal: report it the way shells do.
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 0;
}

} // namespace

std::optional<fs::path> ownProgramPath() {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return self;
}

std::optional<int> runAndWait(const fs::path& program, const std::optional<fs::path>& script) {
    std::string programText = program.string();
    std::string scriptText = script ? script->string() : std::string();
    std::vector<char*> arguments{programText.data()};
    if (script) arguments.push_back(scriptText.data());
    arguments.push_back(nullptr);

    // As with system(): while the game runs, Ctrl-C and Ctrl-\ are the game's to handle, and
    // we live on to remove the extraction directory. The game gets the default handling back.
    sigset_t terminalSignals;
    sigemptyset(&terminalSignals);
    sigaddset(&terminalSignals, SIGINT);
    sigaddset(&terminalSignals, SIGQUIT);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigdefault(&attributes, &terminalSignals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    struct sigaction oldInterrupt {};
    struct sigaction oldQuit {};
    sigaction(SIGINT, &ignore, &oldInterrupt);
    sigaction(SIGQUIT, &ignore, &oldQuit);

    pid_t child = 0;
    int spawnError =
        posix_spawn(&child, programText.c_str(), nullptr, &attributes, arguments.data(), environ);
    posix_spawnattr_destroy(&attributes);
    std::optional<int> exitCode;
    if (spawnError == 0) exitCode = waitForExitCode(child);

    sigaction(SIGINT, &oldInterrupt, nullptr);
    sigaction(SIGQUIT, &oldQuit, nullptr);
    return exitCode;
}

void markExecutable(const fs::path& file) {
    std::error_code ignored;
    fs::permissions(file, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, ignored);
}

} // namespace sfx

#endif
