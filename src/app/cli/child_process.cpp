#include "app/cli/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "common/program_folder.h"
#include "common/text.h"

extern char** environ;

namespace zarvex::cli {

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& arguments,
                           const std::filesystem::path& log) {
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log_path = log.string();
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log_path.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    if (posix_spawn(&pid, words[0].c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        pid_ = pid;
    }
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    if (Started() && !status_) {
        Stop();
    }
}

bool ChildProcess::Running() {
    if (!Started() || status_) {
        return false;
    }
    int raw = 0;
    const pid_t done = ::waitpid(pid_, &raw, WNOHANG);
    if (done == pid_) {
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return false;
    }
    return done == 0;
}

int ChildProcess::Wait() {
    if (!Started()) {
        return -1;
    }
    while (!status_) {
        int raw = 0;
        const pid_t done = ::waitpid(pid_, &raw, 0);
        if (done == pid_) {
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        } else if (done < 0 && errno != EINTR) {
            status_ = -1;
        }
    }
    return *status_;
}

void ChildProcess::Stop() {
    if (Started() && !status_) {
        ::kill(pid_, SIGTERM);
        Wait();
    }
}

std::filesystem::path FindHelperProgram(const std::string& name) {
    std::vector<std::filesystem::path> candidates{common::ExecutableFolder() / name};
    for (std::string_view folder : common::Split(ZARVEX_BUILT_HELPERS, ':')) {
        if (!folder.empty()) {
            candidates.push_back(std::filesystem::path(folder) / name);
        }
    }
    if (const char* path = std::getenv("PATH"); path != nullptr) {
        for (std::string_view folder : common::Split(path, ':')) {
            if (!folder.empty()) {
                candidates.push_back(std::filesystem::path(folder) / name);
            }
        }
    }
    for (const std::filesystem::path& candidate : candidates) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

}  // namespace zarvex::cli
