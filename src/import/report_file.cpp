#include "import/report_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "import/line_splitter.h"

namespace zarvex::import {

namespace {

constexpr std::size_t kChunk = 1 << 16;

}  // namespace

ReportFile::ReportFile(const std::filesystem::path& path) {
    // O_NONBLOCK so that opening a FIFO does not wait for a writer; the type is checked on the
    // opened file itself, so nothing can be swapped in between.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        open_error_ = std::strerror(errno);
        return;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        // fopen happily opens a folder on this platform, a FIFO waits for data that may never
        // come, and /dev/zero never ends: only a regular file is a report.
        open_error_ = S_ISDIR(info.st_mode) ? "is a folder" : "is no regular file";
        ::close(fd);
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        open_error_ = std::strerror(errno);
        ::close(fd);
        return;
    }
    file_.reset(file);
    buffer_.resize(kMaxLineLength + kChunk);
}

bool ReportFile::Refill() {
    if (at_eof_ || failed_ || !file_) {
        return false;
    }
    if (pos_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    const std::size_t room = buffer_.size() - end_;
    if (room == 0) {
        return false;
    }
    const std::size_t got = std::fread(buffer_.data() + end_, 1, room, file_.get());
    end_ += got;
    if (got < room) {
        if (std::ferror(file_.get()) != 0) {
            failed_ = true;
        } else {
            at_eof_ = true;
        }
    }
    return got > 0;
}

bool ReportFile::SkipRestOfLine() {
    while (true) {
        const char* begin = buffer_.data() + pos_;
        const char* stop = FindLineEnd(begin, buffer_.data() + end_);
        pos_ += static_cast<std::size_t>(stop - begin);
        if (pos_ < end_) {
            skipping_ = false;
            const char terminator = buffer_[pos_++];
            pending_cr_ = terminator == '\r';
            return true;
        }
        pos_ = end_;
        if (!Refill()) {
            return false;
        }
    }
}

bool ReportFile::NextLine(std::string_view& line) {
    if (!file_) {
        return false;
    }
    if (skipping_ && !SkipRestOfLine()) {
        return false;
    }
    std::size_t scanned = 0;  // bytes after pos_ known to hold no line end
    while (true) {
        if (pending_cr_ && pos_ < end_) {
            if (buffer_[pos_] == '\n') {
                ++pos_;
            }
            pending_cr_ = false;
        }
        const char* begin = buffer_.data() + pos_;
        const char* stop = FindLineEnd(begin + scanned, buffer_.data() + end_);
        const auto length = static_cast<std::size_t>(stop - begin);
        if (length >= kMaxLineLength) {
            line = std::string_view(begin, kMaxLineLength);
            pos_ += kMaxLineLength;
            skipping_ = true;
            return true;
        }
        if (pos_ + length < end_) {
            line = std::string_view(begin, length);
            pos_ += length;
            const char terminator = buffer_[pos_++];
            if (terminator == '\r') {
                if (pos_ < end_) {
                    if (buffer_[pos_] == '\n') {
                        ++pos_;
                    }
                } else {
                    pending_cr_ = true;
                }
            }
            return true;
        }
        // Refill moves the unread bytes to the front; what was scanned stays scanned.
        scanned = length;
        if (!Refill()) {
            pending_cr_ = false;
            if (pos_ < end_) {
                line = std::string_view(buffer_.data() + pos_, end_ - pos_);
                pos_ = end_;
                return true;
            }
            return false;
        }
    }
}

}  // namespace zarvex::import
