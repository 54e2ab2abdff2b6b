#include "common/plain_host.h"

namespace zarvex::common {

PlainHost::PlainHost(std::ostream* stream) : stream_(stream), message_stream_(stream) {}

PlainHost::PlainHost(std::ostream* status_stream, std::ostream* message_stream)
    : stream_(status_stream), message_stream_(message_stream) {}

void PlainHost::ShowStatus(std::string_view text) {
    std::lock_guard guard(mutex_);
    statuses_.emplace_back(text);
    if (stream_ != nullptr) {
        *stream_ << text << '\n' << std::flush;
    }
}

void PlainHost::Enter() {
    std::lock_guard guard(mutex_);
    ++lock_depth_;
    if (lock_depth_ > max_lock_depth_) {
        max_lock_depth_ = lock_depth_;
    }
}

void PlainHost::Leave() {
    std::lock_guard guard(mutex_);
    if (lock_depth_ > 0) {
        --lock_depth_;
    }
}

bool PlainHost::IsLocked() const {
    std::lock_guard guard(mutex_);
    return lock_depth_ > 0;
}

void PlainHost::PumpEvents() {
    std::lock_guard guard(mutex_);
    ++pumps_;
}

void PlainHost::ShowMessage(std::string_view title, std::string_view text) {
    std::lock_guard guard(mutex_);
    std::string line(title);
    line += ": ";
    line += text;
    messages_.push_back(line);
    if (message_stream_ != nullptr) {
        *message_stream_ << line << '\n' << std::flush;
    }
}

Host PlainHost::AsHost(const common::TextTable* texts) {
    return HostOf(*this, texts);
}

std::vector<std::string> PlainHost::StatusTexts() const {
    std::lock_guard guard(mutex_);
    return statuses_;
}

std::vector<std::string> PlainHost::Messages() const {
    std::lock_guard guard(mutex_);
    return messages_;
}

int PlainHost::PumpCount() const {
    std::lock_guard guard(mutex_);
    return pumps_;
}

int PlainHost::MaxLockDepth() const {
    std::lock_guard guard(mutex_);
    return max_lock_depth_;
}

}  // namespace zarvex::common
