#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex::settings {

// How many units of the strike's currency one option contract is on, per symbol: what turns a
// gamma per unit into money. The user's own state (contract-sizes.conf beside the other .conf
// files), never a column of the configuration database, whose schema stays as it is.
class ContractSizes final {
public:
    // The exchange's sizes, from the currencies' conventions: EUR 125,000, GBP 62,500,
    // AUD 100,000, CAD 100,000, JPY 125,000 (in the units of 100 yen its strikes are stored
    // in), CHF 125,000.
    ContractSizes();

    // "SYM = N" lines; blank lines and lines from '#' are skipped. A line that is no such
    // pair, names none of the six symbols or gives no whole number from 1 to 1e12 keeps the
    // default and adds "FILE:LINE: reason" to problems. A missing file is the defaults.
    static ContractSizes Read(const std::filesystem::path& file,
                              std::vector<std::string>& problems);

    // The lines Read takes back, one per symbol in the program's order.
    std::string Text() const;
    // Writes Text() in place of the file (atomically); false when it cannot be written.
    bool Write(const std::filesystem::path& file) const;

    // 0 for a symbol not among the six.
    std::int64_t Of(std::string_view symbol) const;
    // Refuses (false) a symbol not among the six or a size outside [1, 1e12].
    bool Set(std::string_view symbol, std::int64_t size);

    bool operator==(const ContractSizes& other) const = default;

private:
    std::map<std::string, std::int64_t, std::less<>> sizes_;
};

// $XDG_CONFIG_HOME/zarvex/contract-sizes.conf.
std::filesystem::path ContractSizesPath(const std::filesystem::path& config_folder);

}  // namespace zarvex::settings
