#include "acquisition/data_source.h"

#include <fstream>
#include <sstream>

#include "acquisition/file_writer.h"
#include "acquisition/host_address.h"
#include "common/config_folder.h"
#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::acquisition {

namespace {

constexpr std::string_view kReportKey = "report_host";
constexpr std::string_view kTimeKey = "time_hosts";
constexpr std::string_view kCaKey = "ca_file";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A settings file is a few lines; anything far larger is not ours and is not read whole.
constexpr std::size_t kMostBytes = 64 * 1024;

}  // namespace

std::filesystem::path DataSourcePath() {
    return common::UserConfigFolder() / "data-source.conf";
}

std::vector<std::string> SplitHostList(std::string_view text) {
    std::vector<std::string> hosts;
    std::string current;
    for (const char c : text) {
        if (c == ',' || c == ';' || c == ' ' || c == '\t') {
            if (!current.empty()) {
                hosts.push_back(std::move(current));
                current.clear();
            }
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) {
        hosts.push_back(std::move(current));
    }
    return hosts;
}

DataSourceFile ReadDataSourceFile(const std::filesystem::path& file) {
    DataSourceFile read;
    DataSource& source = read.source;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return read;
    }
    // One byte more than is read tells a file that goes on from one that ends there.
    std::string bytes(kMostBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    const bool cut = bytes.size() > kMostBytes;
    std::string_view text = bytes;
    if (cut) {
        // The line the limit falls in is not read at all: a host cut in two is another host.
        text = text.substr(0, kMostBytes);
        const std::size_t last = text.rfind('\n');
        text = last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
    }
    if (common::StartsWith(text, kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    int number = 0;
    for (std::string_view line : common::Split(text, '\n')) {
        ++number;
        // Blanks and carriage returns at the end, in any order, are the line's end.
        line = common::Trim(line);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) {
            continue;
        }
        const std::string key(common::Trim(line.substr(0, equals)));
        const std::string_view value = common::Trim(line.substr(equals + 1));
        if (key == kReportKey) {
            const HostFault fault = value.empty() ? HostFault::kNone : HostFaultOf(value);
            if (fault == HostFault::kNone) {
                source.report_host = std::string(value);
            } else {
                read.faults.push_back({number, key, std::string(value), fault, false});
            }
        } else if (key == kTimeKey) {
            source.time_hosts.clear();
            for (std::string& host : SplitHostList(value)) {
                if (const HostFault fault = TimeHostFaultOf(host); fault != HostFault::kNone) {
                    read.faults.push_back({number, key, host, fault, false});
                } else {
                    source.time_hosts.push_back(std::move(host));
                }
            }
        } else if (key == kCaKey) {
            source.ca_file = std::string(value);
        }
    }
    if (cut) {
        // The line the cut fell in: the empty piece after the last whole line.
        read.faults.push_back({number, {}, {}, HostFault::kNone, true});
    }
    return read;
}

DataSource ReadDataSource(const std::filesystem::path& file) {
    return ReadDataSourceFile(file).source;
}

DataSource SavedDataSource() {
    return ReadDataSource(DataSourcePath());
}

std::string FaultText(const std::filesystem::path& file, const SourceLineFault& fault,
                      const common::TextTable& texts) {
    std::string line =
        file.string() + texts.Get(common::text::kSourceLine) + std::to_string(fault.line) + ": ";
    if (fault.beyond_limit) {
        return line + texts.Get(common::text::kSourceBeyondLimit);
    }
    return line + fault.key + " = \"" + common::Capped(fault.value) +
           "\": " + HostFaultText(fault.fault, texts);
}

std::vector<SourceLineFault> ReportHostFaults(const DataSourceFile& read) {
    std::vector<SourceLineFault> faults;
    if (!read.source.report_host.empty()) {
        return faults;
    }
    for (const SourceLineFault& fault : read.faults) {
        if (fault.beyond_limit || fault.key == kReportKey) {
            faults.push_back(fault);
        }
    }
    return faults;
}

bool WriteDataSource(const std::filesystem::path& file, const DataSource& source) {
    if (!common::PrepareUserConfigFolder(file.parent_path())) {
        return false;
    }
    std::ostringstream text;
    text << "# Where Zarvex downloads its data from (the window's \"Data source\" dialog).\n"
         << kReportKey << " = " << source.report_host << '\n'
         << kTimeKey << " =";
    for (std::size_t i = 0; i < source.time_hosts.size(); ++i) {
        text << (i == 0 ? " " : ", ") << source.time_hosts[i];
    }
    text << '\n';
    if (!source.ca_file.empty()) {
        text << kCaKey << " = " << source.ca_file << '\n';
    }
    return WriteFileAtomically(file, text.str());
}

BadHost FirstBadHost(const DataSource& source) {
    if (!source.report_host.empty()) {
        if (const HostFault fault = HostFaultOf(source.report_host); fault != HostFault::kNone) {
            return {source.report_host, fault};
        }
    }
    for (const std::string& host : source.time_hosts) {
        if (const HostFault fault = TimeHostFaultOf(host); fault != HostFault::kNone) {
            return {host, fault};
        }
    }
    return {};
}

}  // namespace zarvex::acquisition
