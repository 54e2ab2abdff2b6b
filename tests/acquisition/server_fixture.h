#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "acquisition/network_settings.h"
#include "reportserver/report_server.h"
#include "support/temp_folder.h"

namespace zarvex::test {

// Short limits, so that a silent server costs a test about a second, never a hang.
inline acquisition::NetworkTimeouts QuickTimeouts() {
    acquisition::NetworkTimeouts timeouts;
    timeouts.connect = std::chrono::milliseconds(2000);
    timeouts.stall = std::chrono::milliseconds(1000);
    timeouts.total = std::chrono::milliseconds(5000);
    return timeouts;
}

// A stand-in report server on a free loopback port, serving a fresh temporary tree.
class ServedTree {
public:
    ServedTree() : server_(std::make_unique<tools::ReportServer>(temp_.Path())) {
        std::filesystem::create_directory(temp_.Path() / "toster");
        std::filesystem::create_directory(temp_.Path() / "fp");
        if (!server_->Start()) {
            throw std::runtime_error("the stand-in server did not start");
        }
    }

    tools::ReportServer& Server() { return *server_; }
    std::string Host() const { return server_->HostText(); }

    void PutReport(const std::string& name, std::string_view bytes) {
        WriteFile(temp_.Path() / "toster" / name, bytes);
    }
    void PutForwardPoints(const std::string& name, std::string_view bytes) {
        WriteFile(temp_.Path() / "fp" / name, bytes);
    }
    void RemoveReport(const std::string& name) {
        std::filesystem::remove(temp_.Path() / "toster" / name);
    }
    const std::filesystem::path& Root() const { return temp_.Path(); }

private:
    TempFolder temp_;
    std::unique_ptr<tools::ReportServer> server_;
};

// A loopback port on which nobody listens.
int ClosedPort();

}  // namespace zarvex::test
