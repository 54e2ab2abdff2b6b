#include "acquisition/data_source.h"

#include <fstream>
#include <sstream>

#include "acquisition/file_writer.h"
#include "acquisition/host_address.h"
#include "common/config_folder.h"
#include "common/text.h"

namespace zarvex::acquisition {

namespace {

constexpr std::string_view kReportKey = "report_host";
constexpr std::string_view kTimeKey = "time_hosts";
// A settings file is a few lines; anything far larger is not ours and is not read whole.
constexpr std::streamsize kMostBytes = 64 * 1024;

bool Parses(std::string_view host) {
    return ParseHostAddress(host).has_value();
}

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

DataSource ReadDataSource(const std::filesystem::path& file) {
    DataSource source;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return source;
    }
    std::string bytes(static_cast<std::size_t>(kMostBytes), '\0');
    in.read(bytes.data(), kMostBytes);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    for (std::string_view line : common::Split(bytes, '\n')) {
        line = common::Trim(line);
        if (!line.empty() && line.back() == '\r') {
            line = common::Trim(line.substr(0, line.size() - 1));
        }
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = common::Trim(line.substr(0, equals));
        const std::string_view value = common::Trim(line.substr(equals + 1));
        if (key == kReportKey && Parses(value)) {
            source.report_host = std::string(value);
        } else if (key == kTimeKey) {
            source.time_hosts.clear();
            for (std::string& host : SplitHostList(value)) {
                if (Parses(host)) {
                    source.time_hosts.push_back(std::move(host));
                }
            }
        }
    }
    return source;
}

DataSource SavedDataSource() {
    return ReadDataSource(DataSourcePath());
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
    return WriteFileAtomically(file, text.str());
}

std::string FirstBadHost(const DataSource& source) {
    if (!source.report_host.empty() && !Parses(source.report_host)) {
        return source.report_host;
    }
    for (const std::string& host : source.time_hosts) {
        if (!Parses(host)) {
            return host;
        }
    }
    return {};
}

}  // namespace zarvex::acquisition
