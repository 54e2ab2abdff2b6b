#pragma once

#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "common/host.h"

namespace zarvex::common {

// The host of the command-line program and the tests: status texts and messages are written
// as lines to a stream (or nowhere) and kept for inspection; pumping does nothing; the lock is
// a counter. Safe to call from several threads.
class PlainHost final : public StatusSink, public UiLock, public EventPump, public MessageSink {
public:
    // stream may be null: then nothing is printed.
    explicit PlainHost(std::ostream* stream = nullptr);
    // Status texts to one stream, messages (which report what went wrong) to another.
    PlainHost(std::ostream* status_stream, std::ostream* message_stream);

    void ShowStatus(std::string_view text) override;
    void Enter() override;
    void Leave() override;
    bool IsLocked() const override;
    void PumpEvents() override;
    void ShowMessage(std::string_view title, std::string_view text) override;

    // A Host that reports into this object, speaking English when no table is given.
    Host AsHost(const common::TextTable* texts = nullptr);

    std::vector<std::string> StatusTexts() const;
    std::vector<std::string> Messages() const;  // "title: text"
    int PumpCount() const;
    int MaxLockDepth() const;

private:
    std::ostream* stream_;
    std::ostream* message_stream_;
    mutable std::mutex mutex_;
    std::vector<std::string> statuses_;
    std::vector<std::string> messages_;
    int lock_depth_ = 0;
    int max_lock_depth_ = 0;
    int pumps_ = 0;
};

}  // namespace zarvex::common
