#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace zarvex::gui {

// The program's mark that it is running: a unix socket file, named after the program folder, in
// a folder only the user can reach (PrivateFolder: $XDG_RUNTIME_DIR, or the user's 0700 folder
// under the temporary folder). Another user can neither take the name first nor answer in the
// holder's place: the folder keeps them out, and a second start talks only to a listener of
// its own user (SO_PEERCRED). The holder listens on it, so that a second start can ask it to
// come to the front instead of showing a message. A file left by a process that was killed is
// recognised by nobody answering on it and taken over.
class SingleInstance final {
public:
    // ".../zarvex-217.<hash of the folder>.sock" in the user's private folder: one copy per user
    // and program folder, so that two users, or one user's real and demo folders, each have
    // their own window. Empty when the user has no private folder (the program then runs
    // without the check).
    static std::string SocketFor(uid_t user, const std::filesystem::path& folder);

    explicit SingleInstance(std::string socket);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when a process of the user (or another holder in this one) listens on the socket.
    // When the check itself cannot be made, the program is let run.
    bool AlreadyRunning() const { return already_running_; }

    // The listening socket of the holder (-1 when this one does not hold the name). It
    // becomes readable when a second start knocks.
    int ListeningSocket() const { return fd_; }
    // Takes one waiting knock. True when it came from a process of the same user and asked
    // for the window; anything else (another user, stray bytes, nothing) is dropped quietly.
    bool TakeKnock() const;

    // Asks the holder of the socket to bring its window to the front. False when nobody of
    // this user answers on it: a file that is no socket of the user's, a listener of another
    // user (nothing is sent to it), nobody listening, or a holder too busy to take the knock.
    static bool Knock(const std::string& socket);

private:
    std::string socket_;
    int fd_ = -1;
    bool already_running_ = false;
};

}  // namespace zarvex::gui
