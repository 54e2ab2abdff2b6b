// One window per user and program folder: the name, the knock of a second start, and what the
// running copy listens to.
#include "app/gui/single_instance.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstddef>
#include <cstring>

#include "app/gui/main_window.h"
#include "app/gui/startup.h"
#include "support/temp_folder.h"
#include "ui/gui_fixture.h"
#include "ui/qt_app.h"

namespace zarvex::gui {
namespace {

bool Readable(int fd) {
    pollfd wait{fd, POLLIN, 0};
    return ::poll(&wait, 1, 2000) == 1;
}

// Connects to the name and sends the bytes (none: connects and closes).
void Send(const std::string& name, std::string_view bytes) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.data(), name.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size());
    ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), length), 0);
    if (!bytes.empty()) {
        ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    ::close(fd);
}

TEST(SingleInstanceTest, OneNamePerUserAndFolder) {
    test::TempFolder temp;
    const auto a = temp / "a";
    std::filesystem::create_directories(a);
    const std::string name = SingleInstance::NameFor(1000, a);
    EXPECT_EQ(name.front(), '\0');
    EXPECT_EQ(SingleInstance::NameFor(1000, a / "." / ""), name);
    EXPECT_NE(SingleInstance::NameFor(1001, a), name);
    EXPECT_NE(SingleInstance::NameFor(1000, temp / "b"), name);

    // Two users (or two folders) run side by side; the same one twice does not.
    const SingleInstance first(name);
    const SingleInstance other_user(SingleInstance::NameFor(1001, a));
    EXPECT_FALSE(first.AlreadyRunning());
    EXPECT_FALSE(other_user.AlreadyRunning());
    EXPECT_TRUE(SingleInstance(name).AlreadyRunning());
}

TEST(SingleInstanceTest, OnlyAShowRequestOfTheSameUserCounts) {
    const std::string name = SingleInstance::NameFor(::getuid(), "/zarvex-knock-test");
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
        // Another user knocking on the (guessable) name is not listened to.
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const bool sent = ::setuid(65534) == 0 && SingleInstance::Knock(name);
            ::_exit(sent ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        ASSERT_TRUE(Readable(holder.ListeningSocket()));
        EXPECT_FALSE(holder.TakeKnock());
    }
    // Nobody holds a name that was never taken.
    EXPECT_FALSE(SingleInstance::Knock(SingleInstance::NameFor(::getuid(), "/zarvex-none")));
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
    // A name bound without listening: a second start can see it but not knock.
    const std::string name = SingleInstance::NameFor(::getuid(), home.Path());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.data(), name.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address),
                     static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size())),
              0);
    std::vector<std::string> messages;
    StartupOptions options = OptionsFor(home.Folder());
    options.presenter = [&](const QString& title, const QString& text) {
        messages.push_back(title.toStdString() + ": " + text.toStdString());
    };
    Startup second(std::move(options));
    EXPECT_EQ(second.Run(), Startup::Outcome::kRefused);
    EXPECT_EQ(messages, std::vector<std::string>{"Message: The program is already running"});
    ::close(fd);
}

}  // namespace
}  // namespace zarvex::gui
