#pragma once

#include <string>
#include <string_view>

namespace zarvex::gui {

// The program's mark that it is running: an abstract-namespace unix socket bound to a fixed
// name. The kernel frees the name when the process ends, however it ends, and no file is
// left behind; the socket is not inherited by child processes.
class SingleInstance final {
public:
    // "\0Zarvex_217": the leading zero byte puts the name in the abstract namespace.
    static const std::string& DefaultName();

    explicit SingleInstance(std::string_view name = DefaultName());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another process (or another holder in this one) has the name. When the
    // check itself cannot be made, the program is let run.
    bool AlreadyRunning() const { return already_running_; }

private:
    int fd_ = -1;
    bool already_running_ = false;
};

}  // namespace zarvex::gui
