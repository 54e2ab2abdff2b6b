#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/host_fault.h"

namespace zarvex::common {
class TextTable;
}

namespace zarvex::acquisition {

// Where the program's data comes from: the report server and the hosts asked for the time.
// One setting for the whole program (not for an instrument), kept in the user's
// configuration folder so that the window and zarvex-cli read the same one.
struct DataSource {
    std::string report_host;              // [https://]host[:port]; empty: none chosen yet
    std::vector<std::string> time_hosts;  // asked after the report host; empty: the build's
    std::string ca_file;                  // CA bundle for https; empty: the system's store

    bool operator==(const DataSource&) const = default;
};

// A line of the file that was not used, and why.
struct SourceLineFault {
    int line = 0;  // counted from 1
    std::string key;
    std::string value;
    HostFault fault = HostFault::kNone;
    bool beyond_limit = false;  // the line runs past the part of the file that is read

    bool operator==(const SourceLineFault&) const = default;
};

// What the file gave, with the lines it did not use.
struct DataSourceFile {
    DataSource source;
    std::vector<SourceLineFault> faults;
};

// $XDG_CONFIG_HOME/zarvex/data-source.conf
std::filesystem::path DataSourcePath();

// The file's "report_host = ...", "time_hosts = a, b" and "ca_file = PATH" lines. A missing or
// unreadable file, and lines that are not understood (unknown keys, hosts that do not parse),
// give nothing for that part: a damaged file never stops the program. The hosts that do not
// parse, and the line where the first 64 KB end, are kept as faults so that the program can
// say why the source is unset.
DataSourceFile ReadDataSourceFile(const std::filesystem::path& file);
DataSource ReadDataSource(const std::filesystem::path& file);
// The saved source, or the empty one.
DataSource SavedDataSource();

// The fault as the program shows it: "FILE, line N: key = "value": why".
std::string FaultText(const std::filesystem::path& file, const SourceLineFault& fault,
                      const common::TextTable& texts);
// The faults that explain why the file names no report server: those of the report_host
// lines and the cut, when the file gave no report host; else none.
std::vector<SourceLineFault> ReportHostFaults(const DataSourceFile& read);

// Writes the file whole (a crash leaves the old one), making the folder when needed. The
// hosts must have been checked by CheckDataSource. False when it cannot be written.
bool WriteDataSource(const std::filesystem::path& file, const DataSource& source);

// Splits "a, b c;d" into its hosts.
std::vector<std::string> SplitHostList(std::string_view text);

// The first host that cannot be used, for the message: the report host, then the time hosts.
struct BadHost {
    std::string host;
    HostFault fault = HostFault::kNone;
};
BadHost FirstBadHost(const DataSource& source);

}  // namespace zarvex::acquisition
