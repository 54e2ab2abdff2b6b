// One window per user and program folder: where the socket lives, the knock of a second start,
// what the running copy listens to, and what another local user cannot do to it.
#include "app/gui/single_instance.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

#include "app/gui/main_window.h"
#include "app/gui/private_folder.h"
#include "app/gui/startup.h"
#include "support/temp_folder.h"
#include "ui/gui_fixture.h"
#include "ui/qt_app.h"

namespace zarvex::gui {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

bool Readable(int fd, int ms = 2000) {
    pollfd wait{fd, POLLIN, 0};
    return ::poll(&wait, 1, ms) == 1;
}

sockaddr_un AddressOf(std::string_view name) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.data(), std::min(name.size(), sizeof address.sun_path));
    return address;
}

socklen_t LengthOf(std::string_view name) {
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size());
}

// A socket bound to the name (a path or an abstract name); -1 when that failed.
int Bound(std::string_view name) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = AddressOf(name);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), LengthOf(name)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Connects to the socket and sends the bytes (none: connects and closes).
void Send(const std::string& name, std::string_view bytes) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    const sockaddr_un address = AddressOf(name);
    ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), LengthOf(name)), 0);
    if (!bytes.empty()) {
        ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    ::close(fd);
}

// The name the window took before: an abstract socket anyone could bind first.
std::string FormerAbstractName(uid_t user, const fs::path& folder) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : fs::weakly_canonical(folder).string()) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    char tail[64];
    std::snprintf(tail, sizeof tail, ".%u.%016llx", static_cast<unsigned>(user),
                  static_cast<unsigned long long>(hash));
    return std::string("\0Zarvex_217", 11) + tail;
}

// Sets an environment variable for a scope, or unsets it (nullopt), and puts it back.
class ScopedEnv final {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* was = std::getenv(name)) {
            was_ = was;
        }
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { was_ ? ::setenv(name_, was_->c_str(), 1) : ::unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> was_;
};

// A process of another user: runs body as uid 65534 and ends with its status once released.
// body gets the pipe's write end: a byte there says it is ready.
class OtherUser final {
public:
    explicit OtherUser(const std::function<int(int ready)>& body) {
        int ready[2];
        int release[2];
        EXPECT_EQ(::pipe(ready), 0);
        EXPECT_EQ(::pipe(release), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                ::_exit(99);
            }
            const int status = body(ready[1]);
            char byte = 0;
            const bool released = ::read(release[0], &byte, 1) >= 0;
            ::_exit(released ? status : 97);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        pollfd wait{ready[0], POLLIN, 0};
        ready_ = ::poll(&wait, 1, 5000) == 1;
        ::close(ready[0]);
    }
    ~OtherUser() { Finish(); }
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

    bool Ready() const { return ready_; }
    // Lets the process end; its exit status.
    int Finish() {
        if (pid_ > 0) {
            ::close(release_);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 98;
        }
        return status_;
    }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool ready_ = false;
    int status_ = 0;
};

void SayReady(int ready) {
    const char byte = 1;
    if (::write(ready, &byte, 1) != 1) {
        ::_exit(96);
    }
}

StartupOptions OptionsFor(const common::ProgramFolder& folder) {
    StartupOptions options;
    options.language_argument = "eng";
    options.folder = folder;
    options.pump_sleep = std::chrono::milliseconds(0);
    options.start_scheduler = false;
    options.network_up = [] { return false; };
    options.presenter = [](const QString& title, const QString&) {
        ADD_FAILURE() << "a message box: " << title.toStdString();
    };
    options.locale = "C";
    return options;
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(SingleInstanceTest, OneSocketPerFolderInTheUsersPrivateFolder) {
    test::TempFolder temp;
    const auto a = temp / "a";
    fs::create_directories(a);
    const std::string name = SingleInstance::SocketFor(::getuid(), a);
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(ModeOf(fs::path(name).parent_path()) & 077, 0U);
    EXPECT_EQ(SingleInstance::SocketFor(::getuid(), a / "." / ""), name);
    EXPECT_NE(SingleInstance::SocketFor(::getuid(), temp / "b"), name);

    // Two folders run side by side; the same one twice does not, and the file goes with its
    // holder.
    std::optional<SingleInstance> first(std::in_place, name);
    const SingleInstance beside(SingleInstance::SocketFor(::getuid(), temp / "b"));
    EXPECT_FALSE(first->AlreadyRunning());
    EXPECT_FALSE(beside.AlreadyRunning());
    EXPECT_TRUE(SingleInstance(name).AlreadyRunning());
    first.reset();
    EXPECT_FALSE(fs::exists(fs::symlink_status(name)));
}

struct FolderCase {
    const char* name;
    // Prepares temp (with run/ and tmp/ in it); the runtime folder's text.
    std::function<std::string(const fs::path& temp)> prepare;
    const char* chosen;  // under temp
    bool needs_root;
};

class PrivateFolderChoice : public ::testing::TestWithParam<FolderCase> {};

TEST_P(PrivateFolderChoice, IsTheUsersAloneOrNone) {
    if (GetParam().needs_root && ::getuid() != 0) {
        GTEST_SKIP() << "needs a second user";
    }
    test::TempFolder temp;
    fs::create_directories(temp / "run");
    fs::create_directories(temp / "tmp");
    ::chmod((temp / "run").c_str(), 0700);
    ::chmod((temp / "tmp").c_str(), 01777);
    const std::string runtime = GetParam().prepare(temp.Path());
    const uid_t user = ::getuid();
    const fs::path chosen = PrivateFolder(user, runtime, temp / "tmp");
    const std::string expected =
        std::string(GetParam().chosen) == "tmp/zarvex-UID"
            ? (temp / "tmp" / ("zarvex-" + std::to_string(user))).string()
        : std::string(GetParam().chosen) == "tmp/zarvex-UID-1"
            ? (temp / "tmp" / ("zarvex-" + std::to_string(user) + "-1")).string()
            : (temp / GetParam().chosen).string();
    EXPECT_EQ(chosen.string(), expected);
    EXPECT_EQ(ModeOf(chosen) & 077, 0U);
    struct stat info {};
    ASSERT_EQ(::lstat(chosen.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_uid, user);
}

std::string Own(const fs::path& temp, const char* folder, mode_t mode) {
    fs::create_directories(temp / folder);
    ::chmod((temp / folder).c_str(), mode);
    return (temp / folder).string();
}

const std::string kUid = std::to_string(::getuid());

INSTANTIATE_TEST_SUITE_P(
    , PrivateFolderChoice,
    ::testing::Values(
        FolderCase{"AFitRuntimeFolder",
                   [](const fs::path& root) { return (root / "run").string(); }, "run", false},
        FolderCase{"NoRuntimeFolder", [](const fs::path&) { return std::string(); },
                   "tmp/zarvex-UID", false},
        FolderCase{"ARelativeRuntimeFolder", [](const fs::path&) { return std::string("run"); },
                   "tmp/zarvex-UID", false},
        FolderCase{"ARuntimeFolderOthersCanRead",
                   [](const fs::path& root) { return Own(root, "run", 0755); }, "tmp/zarvex-UID",
                   false},
        FolderCase{"ARuntimeFolderThroughALink",
                   [](const fs::path& root) {
                       fs::create_directory_symlink(root / "run", root / "link");
                       return (root / "link").string();
                   },
                   "tmp/zarvex-UID", false},
        FolderCase{"ARuntimeFolderOfAnotherUser",
                   [](const fs::path& root) {
                       EXPECT_EQ(::chown((root / "run").c_str(), kNobody, kNobody), 0);
                       return (root / "run").string();
                   },
                   "tmp/zarvex-UID", true},
        // The user's own folder with a wider mode is narrowed and used.
        FolderCase{"ItsOwnFolderLeftOpen",
                   [](const fs::path& root) {
                       Own(root, ("tmp/zarvex-" + kUid).c_str(), 0777);
                       return std::string();
                   },
                   "tmp/zarvex-UID", false},
        FolderCase{"ALinkInItsPlace",
                   [](const fs::path& root) {
                       fs::create_directory_symlink(root / "run",
                                                    root / "tmp" / ("zarvex-" + kUid));
                       return std::string();
                   },
                   "tmp/zarvex-UID-1", false},
        FolderCase{"AFileInItsPlace",
                   [](const fs::path& root) {
                       test::WriteFile(root / "tmp" / ("zarvex-" + kUid), "");
                       return std::string();
                   },
                   "tmp/zarvex-UID-1", false},
        FolderCase{"AnotherUsersFolderInItsPlace",
                   [](const fs::path& root) {
                       const std::string made = Own(root, ("tmp/zarvex-" + kUid).c_str(), 0700);
                       EXPECT_EQ(::chown(made.c_str(), kNobody, kNobody), 0);
                       return std::string();
                   },
                   "tmp/zarvex-UID-1", true}),
    [](const auto& run) { return std::string(run.param.name); });

TEST(SingleInstanceTest, AFileLeftByAKilledHolderIsTakenOver) {
    test::TempFolder temp;
    ::chmod(temp.Path().c_str(), 0700);
    const std::string name = (temp / "zarvex.sock").string();
    // Bound and closed without unlinking: what a process killed with -9 leaves.
    const int killed = Bound(name);
    ASSERT_GE(killed, 0);
    ::close(killed);
    ASSERT_TRUE(fs::is_socket(fs::symlink_status(name)));
    EXPECT_FALSE(SingleInstance::Knock(name));
    {
        const SingleInstance holder(name);
        EXPECT_FALSE(holder.AlreadyRunning());
        ASSERT_GE(holder.ListeningSocket(), 0);
        ASSERT_TRUE(SingleInstance::Knock(name));
        ASSERT_TRUE(Readable(holder.ListeningSocket()));
        EXPECT_TRUE(holder.TakeKnock());
    }
    // Whatever else stands at the name in the user's own folder is replaced too.
    test::WriteFile(name, "junk");
    const SingleInstance holder(name);
    EXPECT_FALSE(holder.AlreadyRunning());
    EXPECT_GE(holder.ListeningSocket(), 0);
}

TEST(SingleInstanceTest, OnlyAShowRequestOfTheSameUserCounts) {
    const std::string name = SingleInstance::SocketFor(::getuid(), "/zarvex-knock-test");
    const SingleInstance holder(name);
    ASSERT_GE(holder.ListeningSocket(), 0);

    ASSERT_TRUE(SingleInstance::Knock(name));
    ASSERT_TRUE(Readable(holder.ListeningSocket()));
    EXPECT_TRUE(holder.TakeKnock());

    Send(name, "hello, world");
    ASSERT_TRUE(Readable(holder.ListeningSocket()));
    EXPECT_FALSE(holder.TakeKnock());
    Send(name, "");
    ASSERT_TRUE(Readable(holder.ListeningSocket()));
    EXPECT_FALSE(holder.TakeKnock());

    if (::getuid() == 0) {
        // Another user cannot even reach the socket: the folder is the user's alone.
        OtherUser other([&](int ready) {
            const bool sent = SingleInstance::Knock(name);
            SayReady(ready);
            return sent ? 1 : 0;
        });
        ASSERT_TRUE(other.Ready());
        EXPECT_EQ(other.Finish(), 0);
        EXPECT_FALSE(Readable(holder.ListeningSocket(), 200));
    }
    // Nobody holds a name that was never taken.
    EXPECT_FALSE(SingleInstance::Knock(SingleInstance::SocketFor(::getuid(), "/zarvex-none")));
}

TEST(SingleInstanceTest, AListenerOfAnotherUserIsNeverKnockedOnNorTakenForTheWindow) {
    if (::getuid() != 0) {
        GTEST_SKIP() << "needs a second user";
    }
    test::TempFolder temp;
    ::chmod(temp.Path().c_str(), 0777);
    const std::string name = (temp / "zarvex.sock").string();
    // It listens and counts what it is sent: 1 when any byte came.
    OtherUser other([&](int ready) {
        const int fd = Bound(name);
        if (fd < 0 || ::listen(fd, 8) != 0) {
            return 2;
        }
        SayReady(ready);
        if (!Readable(fd, 3000)) {
            return 0;
        }
        const int peer = ::accept(fd, nullptr, nullptr);
        char byte = 0;
        return Readable(peer, 500) && ::recv(peer, &byte, 1, 0) == 1 ? 1 : 0;
    });
    ASSERT_TRUE(other.Ready());
    // Even with the file made to look the user's, the listener's own uid gives it away.
    ASSERT_EQ(::chown(name.c_str(), ::getuid(), ::getgid()), 0);
    EXPECT_FALSE(SingleInstance::Knock(name));
    const SingleInstance holder(name);
    EXPECT_FALSE(holder.AlreadyRunning());
    EXPECT_GE(holder.ListeningSocket(), 0);
    EXPECT_EQ(other.Finish(), 0);
}

TEST(SingleInstanceTest, AnotherUserCannotKeepTheWindowFromOpening) {
    if (::getuid() != 0) {
        GTEST_SKIP() << "needs a second user";
    }
    test::EnsureQtApplication();
    test::TempFolder temp;
    ::chmod(temp.Path().c_str(), 0755);
    fs::create_directories(temp / "tmp");
    ::chmod((temp / "tmp").c_str(), 01777);
    const ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    const ScopedEnv tmpdir("TMPDIR", (temp / "tmp").string());
    test::TempProgramFolder home;
    const std::string former = FormerAbstractName(::getuid(), home.Path());
    const fs::path own = temp / "tmp" / ("zarvex-" + kUid);
    // The socket's own name, learnt where it makes nothing the test looks at.
    fs::create_directories(temp / "probe");
    std::string socket_name;
    {
        const ScopedEnv probe("TMPDIR", (temp / "probe").string());
        socket_name = fs::path(SingleInstance::SocketFor(::getuid(), home.Path())).filename();
    }
    const std::string planted = (own / socket_name).string();

    // It holds the former name, listening, makes the name of the user's folder its own and
    // listens there on the socket's name.
    OtherUser other([&](int ready) {
        const int abstract = Bound(former);
        if (abstract < 0 || ::listen(abstract, 8) != 0 || ::mkdir(own.c_str(), 0777) != 0 ||
            ::chmod(own.c_str(), 0777) != 0) {
            return 2;
        }
        const int there = Bound(planted);
        if (there < 0 || ::listen(there, 8) != 0) {
            return 3;
        }
        SayReady(ready);
        return 0;
    });
    ASSERT_TRUE(other.Ready());
    const std::string socket = SingleInstance::SocketFor(::getuid(), home.Path());
    EXPECT_EQ(fs::path(socket).parent_path(), temp / "tmp" / ("zarvex-" + kUid + "-1"));

    Startup first(OptionsFor(home.Folder()));
    ASSERT_EQ(first.Run(), Startup::Outcome::kRunning);
    first.Window()->setWindowState(Qt::WindowMinimized);
    // The user's own second start still finds the window and brings it to the front.
    Startup second(OptionsFor(home.Folder()));
    EXPECT_EQ(second.Run(), Startup::Outcome::kAlreadyRunning);
    test::ProcessEventsFor(std::chrono::milliseconds(300));
    EXPECT_FALSE(first.Window()->windowState().testFlag(Qt::WindowMinimized));
    EXPECT_EQ(other.Finish(), 0);
}

TEST(SingleInstanceTest, SecondStartOfAFolderBringsItsWindowToTheFront) {
    test::EnsureQtApplication();
    test::TempProgramFolder home;
    test::TempProgramFolder other;
    Startup first(OptionsFor(home.Folder()));
    ASSERT_EQ(first.Run(), Startup::Outcome::kRunning);
    first.Window()->setWindowState(Qt::WindowMinimized);

    // Another folder of the same user has its own window.
    Startup beside(OptionsFor(other.Folder()));
    EXPECT_EQ(beside.Run(), Startup::Outcome::kRunning);

    Startup second(OptionsFor(home.Folder()));
    EXPECT_EQ(second.Run(), Startup::Outcome::kAlreadyRunning);
    EXPECT_EQ(second.Window(), nullptr);
    test::ProcessEventsFor(std::chrono::milliseconds(300));
    EXPECT_FALSE(first.Window()->windowState().testFlag(Qt::WindowMinimized));
}

TEST(SingleInstanceTest, HolderThatCannotBeAskedLeavesTheMessage) {
    test::EnsureQtApplication();
    test::TempProgramFolder home;
    // A holder of the user's whose queue is full: a second start sees it but cannot knock,
    // and neither waits for it nor takes its place.
    const std::string name = SingleInstance::SocketFor(::getuid(), home.Path());
    const int holder = Bound(name);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::listen(holder, 0), 0);
    std::vector<int> queued;
    for (int i = 0; i < 16; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        const sockaddr_un address = AddressOf(name);
        queued.push_back(fd);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            break;
        }
    }
    std::vector<std::string> messages;
    StartupOptions options = OptionsFor(home.Folder());
    options.presenter = [&](const QString& title, const QString& text) {
        messages.push_back(title.toStdString() + ": " + text.toStdString());
    };
    Startup second(std::move(options));
    EXPECT_EQ(second.Run(), Startup::Outcome::kRefused);
    EXPECT_EQ(messages, std::vector<std::string>{"Message: The program is already running"});
    for (const int fd : queued) {
        ::close(fd);
    }
    ::close(holder);
    ::unlink(name.c_str());
}

}  // namespace
}  // namespace zarvex::gui
