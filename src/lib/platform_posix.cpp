// The POSIX process layer: programs are started directly from their
// argument lists, never through a shell.
#ifndef _WIN32
#include "lib/platform.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {
// Spawn actions: standard input from /dev/null, and standard output to
// `outFd` (or /dev/null with -1, standard error with it).
class Actions {
  public:
    explicit Actions(int outFd, int closeFd = -1) {
        posix_spawn_file_actions_init(&actions_);
        posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
        if (outFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions_, outFd, 1);
            posix_spawn_file_actions_addclose(&actions_, outFd);
        } else {
            posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_adddup2(&actions_, 1, 2);
        }
        if (closeFd >= 0) posix_spawn_file_actions_addclose(&actions_, closeFd);
    }
    ~Actions() { posix_spawn_file_actions_destroy(&actions_); }
    Actions(const Actions&) = delete;
    Actions& operator=(const Actions&) = delete;
    const posix_spawn_file_actions_t* get() const { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

// Starts the program; returns its id, or -1 with the spawn error in `err`.
pid_t spawn(const Command& command, const Actions& actions, int& err) {
    std::vector<char*> argv;
    for (const std::string& a : command.args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    err = posix_spawnp(&pid, argv[0], actions.get(), nullptr, argv.data(), environ);
    return err == 0 ? pid : -1;
}

void waitFor(pid_t pid) {
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
}

// Players started in the background are reaped once they have ended.
std::vector<pid_t>& background() {
    static std::vector<pid_t> pids;
    return pids;
}

void reapBackground() {
    auto& pids = background();
    std::erase_if(pids, [](pid_t pid) {
        int status;
        return waitpid(pid, &status, WNOHANG) != 0;
    });
}
} // namespace

std::optional<std::string> readOutput(const Command& command) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    int err = 0;
    pid_t pid;
    {
        Actions actions(fds[1], fds[0]);
        pid = spawn(command, actions, err);
    }
    close(fds[1]);
    // A missing program is a failed command, not a missing stream.
    if (pid < 0 && err != ENOENT && err != EACCES && err != ENOEXEC) {
        close(fds[0]);
        return std::nullopt;
    }
    std::string output;
    char piece[4096];
    for (;;) {
        ssize_t n = read(fds[0], piece, sizeof piece);
        if (n > 0) {
            output.append(piece, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(fds[0]);
    if (pid > 0) waitFor(pid);
    return output;
}

void runAndWait(const Command& command) {
    reapBackground();
    int err = 0;
    Actions actions(-1);
    pid_t pid = spawn(command, actions, err);
    if (pid > 0) waitFor(pid);
}

void runInBackground(const Command& command) {
    reapBackground();
    int err = 0;
    Actions actions(-1);
    pid_t pid = spawn(command, actions, err);
    if (pid > 0) background().push_back(pid);
}
#endif
