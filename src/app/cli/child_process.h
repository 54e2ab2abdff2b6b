#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zarvex::cli {

// A helper program run by zarvex-cli (the report generator, the stand-in server), its output
// going to a log file. The process is ended and reaped when the object goes, so a failed or
// interrupted run leaves no server behind.
class ChildProcess final {
public:
    // Starts program with the arguments; Started() tells whether it did.
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& log);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    bool Running();
    // Waits for the end; the exit status (128 + signal for a killed one), -1 when not started.
    int Wait();
    // SIGTERM, then the wait.
    void Stop();

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// The helper program `name`: beside the running executable (the installed layout), else
// where this build made it, else on $PATH. Empty when it is nowhere.
std::filesystem::path FindHelperProgram(const std::string& name);

}  // namespace zarvex::cli
