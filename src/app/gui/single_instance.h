#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace zarvex::gui {

// The program's mark that it is running: an abstract-namespace unix socket bound to a name
// made of the user and the program folder. The kernel frees the name when the process ends,
// however it ends, and no file is left behind; the socket is not inherited by child
// processes. The holder listens on it, so that a second start can ask it to come to the
// front instead of showing a message.
class SingleInstance final {
public:
    // "\0Zarvex_217.<uid>.<hash of the folder>": one copy per user and program folder, so
    // that two users, or one user's real and demo folders, each have their own window.
    static std::string NameFor(uid_t user, const std::filesystem::path& folder);

    explicit SingleInstance(std::string_view name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another process (or another holder in this one) has the name. When the
    // check itself cannot be made, the program is let run.
    bool AlreadyRunning() const { return already_running_; }

    // The listening socket of the holder (-1 when this one does not hold the name). It
    // becomes readable when a second start knocks.
    int ListeningSocket() const { return fd_; }
    // Takes one waiting knock. True when it came from a process of the same user and asked
    // for the window; anything else (another user, stray bytes, nothing) is dropped quietly.
    bool TakeKnock() const;

    // Asks the holder of the name to bring its window to the front. False when nobody
    // answers on the name.
    static bool Knock(std::string_view name);

private:
    int fd_ = -1;
    bool already_running_ = false;
};

}  // namespace zarvex::gui
