#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex::acquisition {

// Where the program's data comes from: the report server and the hosts asked for the time.
// One setting for the whole program (not for an instrument), kept in the user's
// configuration folder so that the window and zarvex-cli read the same one.
struct DataSource {
    std::string report_host;              // host[:port]; empty: none chosen yet
    std::vector<std::string> time_hosts;  // asked after the report host; empty: the build's

    bool operator==(const DataSource&) const = default;
};

// $XDG_CONFIG_HOME/zarvex/data-source.conf
std::filesystem::path DataSourcePath();

// The file's "report_host = ..." and "time_hosts = a, b" lines. A missing or unreadable file,
// and lines that are not understood (unknown keys, hosts that do not parse), give nothing for
// that part: a damaged file never stops the program, it only leaves the source unset.
DataSource ReadDataSource(const std::filesystem::path& file);
// The saved source, or the empty one.
DataSource SavedDataSource();

// Writes the file whole (a crash leaves the old one), making the folder when needed. The
// hosts must have been checked by CheckDataSource. False when it cannot be written.
bool WriteDataSource(const std::filesystem::path& file, const DataSource& source);

// Splits "a, b c;d" into its hosts.
std::vector<std::string> SplitHostList(std::string_view text);

// Empty when every host parses; else the first one that does not, for the message.
std::string FirstBadHost(const DataSource& source);

}  // namespace zarvex::acquisition
