#include "app/cli/api_setting.h"

#include <fstream>
#include <iterator>

#include "app/cli/api_token.h"
#include "common/config_folder.h"
#include "common/text.h"

namespace zarvex::cli {

std::filesystem::path ApiSettingPath(const std::filesystem::path& config_folder) {
    return config_folder / "api.conf";
}

ApiSetting ParseApiSetting(std::string_view text) {
    ApiSetting setting;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view raw = text.substr(start, end - start);
        // A file saved by a Windows editor ends its lines with CR LF.
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        const std::string_view line = common::Trim(raw);
        start = end + 1;
        ++number;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key =
            equals == std::string_view::npos ? line : common::Trim(line.substr(0, equals));
        const std::string_view value =
            equals == std::string_view::npos ? "" : common::Trim(line.substr(equals + 1));
        if (key == "serve" && (value == "on" || value == "off")) {
            setting.serve = value == "on";
        } else if (const std::optional<std::int64_t> port = common::ParseInt(value);
                   key == "port" && port && *port >= 1 && *port <= 65535) {
            setting.port = static_cast<std::uint16_t>(*port);
        } else {
            setting.problems.push_back("line " + std::to_string(number) + ": \"" +
                                       std::string(line) +
                                       "\" is neither \"serve = on|off\" nor \"port = 1..65535\"");
        }
    }
    return setting;
}

std::unique_ptr<ApiServer> ServeFromSetting(const common::ProgramFolder& folder,
                                            std::vector<std::string>& problems) {
    const std::filesystem::path config = common::UserConfigFolder();
    const std::filesystem::path path = ApiSettingPath(config);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return nullptr;
    }
    std::string text;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const ApiSetting setting = ParseApiSetting(text.substr(0, 64 * 1024));
    for (const std::string& problem : setting.problems) {
        problems.push_back(path.string() + ": " + problem);
    }
    if (!setting.serve) {
        return nullptr;
    }
    const ApiToken token = LoadOrMakeApiToken(ApiTokenPath(config));
    if (token.token.empty()) {
        problems.push_back(token.error);
        return nullptr;
    }
    ApiServerOptions options;
    options.answerer.home = folder;
    options.answerer.token = token.token;
    options.port = setting.port;
    auto server = std::make_unique<ApiServer>(options);
    std::string error;
    if (!server->Start(error)) {
        problems.push_back(error);
        return nullptr;
    }
    return server;
}

}  // namespace zarvex::cli
