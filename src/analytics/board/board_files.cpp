#include "analytics/board/board_files.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "common/text.h"

namespace zarvex::analytics {

namespace {

constexpr std::uintmax_t kLargestSettingFile = 1024 * 1024;

// The whole of a small text file; nullopt when it cannot be read or is too large.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& path, std::string& error) {
    std::error_code code;
    // Never opened unless it is a regular file: a FIFO would block the read for good.
    const std::filesystem::file_status status = std::filesystem::status(path, code);
    if (!code && !std::filesystem::is_regular_file(status)) {
        const auto type = status.type();
        error = path.string() +
                (type == std::filesystem::file_type::fifo        ? ": is a FIFO"
                 : type == std::filesystem::file_type::directory ? ": is a folder"
                 : type == std::filesystem::file_type::block ||
                         type == std::filesystem::file_type::character
                     ? ": is a device"
                 : type == std::filesystem::file_type::socket ? ": is a socket"
                                                              : ": is no file") +
                ", not a regular file";
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, code);
    if (code) {
        error = path.string() + ": " + code.message();
        return std::nullopt;
    }
    if (size > kLargestSettingFile) {
        error = path.string() + ": larger than a megabyte";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || !in.is_open()) {
        error = path.string() + ": cannot be read";
        return std::nullopt;
    }
    return text;
}

}  // namespace

std::filesystem::path AlertRulesPath(const std::filesystem::path& config_folder) {
    return config_folder / "alerts.txt";
}

std::filesystem::path LevelsFeedSettingPath(const std::filesystem::path& config_folder) {
    return config_folder / "levels-feed.txt";
}

AlertRuleFile ReadAlertRuleFile(const std::filesystem::path& path) {
    AlertRuleFile file;
    std::error_code code;
    if (!std::filesystem::exists(path, code)) {
        file.missing = true;
        return file;
    }
    if (const std::optional<std::string> text = ReadSmallFile(path, file.error)) {
        file.rules = ParseAlertRules(*text);
    }
    return file;
}

FeedFolder LevelsFeedFolder(const std::filesystem::path& config_folder,
                            const common::ProgramFolder& folder) {
    std::string error;
    const std::filesystem::path setting = LevelsFeedSettingPath(config_folder);
    std::error_code code;
    if (std::filesystem::exists(setting, code)) {
        if (const std::optional<std::string> text = ReadSmallFile(setting, error)) {
            for (std::string_view line : common::Split(*text, '\n')) {
                if (!line.empty() && line.back() == '\r') {
                    line.remove_suffix(1);
                }
                const std::size_t equals = line.find('=');
                if (equals == std::string_view::npos ||
                    common::Trim(line.substr(0, equals)) != "folder") {
                    continue;
                }
                const std::string_view value = common::Trim(line.substr(equals + 1));
                if (!value.empty()) {
                    const std::filesystem::path path(value);
                    return {path.is_absolute() ? path : folder.Root() / path, false};
                }
            }
        }
    }
    return {folder.Output() / "levels", true};
}

}  // namespace zarvex::analytics
