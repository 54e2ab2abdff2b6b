#pragma once

#include <string>

#include "common/host.h"

namespace zarvex::gui {

// The main window's side of the private notifications and of the UI lock, served on the
// main thread.
class NotificationHandler {
public:
    virtual ~NotificationHandler() = default;
    // M2: the status field shows " " + text, busy colours while locked.
    virtual void HandleStatus(const std::string& text, bool locked) = 0;
    // M3 and M4: rebuild the histograms of the instrument at the index.
    virtual void HandleHistograms(int instrument_index) = 0;
    // M5: the previous days or the current day were downloaded.
    virtual void HandleDownloaded(common::DownloadedDays what) = 0;
    // The window's input is blocked while the lock is held.
    virtual void HandleLock(bool locked) = 0;
};

}  // namespace zarvex::gui
