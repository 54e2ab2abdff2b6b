#include "settings/contract_sizes.h"

#include <fstream>
#include <system_error>

#include "common/currency_conventions.h"
#include "common/symbols.h"
#include "common/text.h"

namespace zarvex::settings {

namespace {

constexpr std::int64_t kLargestSize = 1'000'000'000'000;
// The file is six short lines; anything far larger is not ours and is not read whole.
constexpr std::streamsize kMostBytes = 64 * 1024;

bool Known(std::string_view symbol) {
    return common::InstrumentIndex(symbol) >= 0;
}

// Spaces and tabs: a hand-edited file has both.
std::string_view TrimBlank(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

ContractSizes::ContractSizes() {
    for (const common::CurrencyConvention& convention : common::kCurrencyConventions) {
        sizes_.emplace(std::string(convention.symbol), convention.contract_size);
    }
}

ContractSizes ContractSizes::Read(const std::filesystem::path& file,
                                  std::vector<std::string>& problems) {
    ContractSizes sizes;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return sizes;
    }
    std::string bytes(static_cast<std::size_t>(kMostBytes), '\0');
    in.read(bytes.data(), kMostBytes);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    int number = 0;
    for (std::string_view line : common::Split(bytes, '\n')) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) {
            line = line.substr(0, hash);
        }
        line = TrimBlank(line);
        if (line.empty()) {
            continue;
        }
        const auto problem = [&](const std::string& reason) {
            problems.push_back(file.string() + ":" + std::to_string(number) + ": " + reason);
        };
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            problem("not a line \"SYM = N\"");
            continue;
        }
        const std::string symbol(TrimBlank(line.substr(0, equals)));
        const std::string_view value = TrimBlank(line.substr(equals + 1));
        if (!Known(symbol)) {
            problem("unknown symbol \"" + symbol + "\"");
            continue;
        }
        const auto size = common::ParseInt(value);
        if (!size || !sizes.Set(symbol, *size)) {
            problem("the size of " + symbol + " must be a whole number from 1 to 10^12: \"" +
                    std::string(value) + "\"");
        }
    }
    return sizes;
}

std::string ContractSizes::Text() const {
    std::string text;
    for (const std::string_view symbol : common::kSymbols) {
        text += std::string(symbol) + " = " + std::to_string(Of(symbol)) + "\n";
    }
    return text;
}

bool ContractSizes::Write(const std::filesystem::path& file) const {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    const std::filesystem::path temporary = file.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << Text();
        out.flush();
        if (!out) {
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

std::int64_t ContractSizes::Of(std::string_view symbol) const {
    const auto found = sizes_.find(symbol);
    return found == sizes_.end() ? 0 : found->second;
}

bool ContractSizes::Set(std::string_view symbol, std::int64_t size) {
    const auto found = sizes_.find(symbol);
    if (found == sizes_.end() || size < 1 || size > kLargestSize) {
        return false;
    }
    found->second = size;
    return true;
}

std::filesystem::path ContractSizesPath(const std::filesystem::path& config_folder) {
    return config_folder / "contract-sizes.conf";
}

}  // namespace zarvex::settings
