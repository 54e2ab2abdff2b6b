#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex::import {

// Reads a report file line by line (line ends as in line_splitter.h) through a fixed buffer,
// so memory stays bounded whatever the file holds.
class ReportFile final {
public:
    // Opens the file for reading; IsOpen() tells whether that worked. Only a regular file
    // opens: a folder, a FIFO or a device (which would block, or never end) is refused at once.
    explicit ReportFile(const std::filesystem::path& path);

    bool IsOpen() const { return file_ != nullptr; }
    // Why the file did not open ("" when it did).
    const std::string& OpenError() const { return open_error_; }

    // The next line; false at the end of the file or after a read error. The view is valid
    // until the next call.
    bool NextLine(std::string_view& line);

    // A read error ended the lines early.
    bool Failed() const { return failed_; }

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    // Reads more bytes behind the unread ones; false when nothing more came.
    bool Refill();
    bool SkipRestOfLine();

    std::unique_ptr<std::FILE, Closer> file_;
    std::string open_error_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool at_eof_ = false;
    bool failed_ = false;
    // A CR ended the previous line at the end of the buffered bytes: an LF next belongs to it.
    bool pending_cr_ = false;
    // The previous line was cut: its rest is skipped before the next line.
    bool skipping_ = false;
};

}  // namespace zarvex::import
