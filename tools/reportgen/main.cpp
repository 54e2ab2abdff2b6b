// zarvex-reportgen: writes generated daily reports and forward-point files for a range of
// trading days, into a program folder (as the download leaves them) and/or a report-server
// tree (as the server publishes them).

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "common/date.h"
#include "common/text.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"

namespace {

using zarvex::common::Date;

constexpr const char* kUsage =
    "usage: zarvex-reportgen [--home DIR] [--raw DIR] --from YYYYMMDD --to YYYYMMDD\n"
    "                        [--seed N] [--strikes N] [--full] [--no-duplicates]\n"
    "                        [--no-blank-lines] [--plain-codes] [--raw-lf]\n"
    "                        [--flat-vol] [--vol-memory [--premium X]] [--truth FILE]\n"
    "                        [--pin S] [--pin-ignores-oi]\n"
    "  --home DIR   program folder: INPUT/CUR_yyyymmdd.TXT and INPUT/FP_yyyymmdd.TXT\n"
    "  --raw DIR    report-server tree: toster/CUR_yyyymmdd.TXT and fp/yyyymmdd.txt\n"
    "  --seed N     the same seed gives the same files (default 1)\n"
    "  --strikes N  strike lines per contract block, 1..400 (default 30)\n"
    "  --full       full-size days: over 1 MB, 1,500+ strike lines per currency\n"
    "  --flat-vol   one flat volatility per product and no discount (the first model)\n"
    "  --vol-memory a volatility that wanders (mean-reverting, calm and stressed\n"
    "               stretches) and futures that move by it less a premium\n"
    "  --premium X  that premium, a decimal per year (default 0.02: 2 volatility points)\n"
    "  --truth FILE write the model's forward, discount and volatility of every\n"
    "               instrument option line (CSV, program units: the yen per 100); with\n"
    "               --vol-memory also FILE.path.csv: each day's futures, level,\n"
    "               realized volatility and return per currency\n"
    "  --pin S      pull the futures, in the last 3 days before an expiration, the share\n"
    "               S (0..1) of the way to the strike where that contract's open\n"
    "               interest gathers (a large straddle at the strike at the money ten\n"
    "               days before; it is also max pain)\n"
    "  --pin-ignores-oi  with --pin: the straddle and the pull each at a strike\n"
    "               drawn at random one to eight strikes away: the open interest\n"
    "               then tells nothing of where the price ends\n";

struct UsageError {
    std::string message;
};

Date ParseDay(const std::string& text, const std::string& option) {
    const Date day = zarvex::common::ParseDate(text, "%yyyy%mm%dd");
    if (day == zarvex::common::kInvalidDate || day < 0) {
        throw UsageError{option + " must be a date YYYYMMDD from 1970 on: " + text};
    }
    return day;
}

std::int64_t ParseNumber(const std::string& text, const std::string& option, std::int64_t low,
                         std::int64_t high) {
    const auto value = zarvex::common::ParseInt(text);
    if (!value || *value < low || *value > high) {
        throw UsageError{option + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ": " + text};
    }
    return *value;
}

struct CommandLine {
    std::optional<std::filesystem::path> home;
    std::optional<std::filesystem::path> raw;
    std::optional<Date> from;
    std::optional<Date> to;
    zarvex::reportgen::GeneratorOptions options;
    std::optional<std::filesystem::path> truth;
    bool premium_given = false;
};

CommandLine Parse(const std::vector<std::string>& args) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError{"option " + word + " needs a value"};
            }
            return args[++i];
        };
        if (word == "--home") {
            line.home = value();
        } else if (word == "--raw") {
            line.raw = value();
        } else if (word == "--from") {
            line.from = ParseDay(value(), word);
        } else if (word == "--to") {
            line.to = ParseDay(value(), word);
        } else if (word == "--seed") {
            line.options.seed =
                static_cast<std::uint64_t>(ParseNumber(value(), word, 0, INT64_MAX));
        } else if (word == "--strikes") {
            line.options.strikes =
                static_cast<int>(ParseNumber(value(), word, 1, zarvex::reportgen::kMaxStrikes));
        } else if (word == "--full") {
            line.options.full = true;
        } else if (word == "--no-duplicates") {
            line.options.duplicates = false;
        } else if (word == "--no-blank-lines") {
            line.options.blank_lines = false;
        } else if (word == "--plain-codes") {
            line.options.plain_codes = true;
        } else if (word == "--raw-lf") {
            line.options.raw_lf = true;
        } else if (word == "--pin") {
            const auto strength = zarvex::common::ParseDouble(value());
            if (!strength || !(*strength >= 0.0 && *strength <= 1.0)) {
                throw UsageError{"--pin must be a number from 0 to 1"};
            }
            line.options.pin = *strength;
        } else if (word == "--pin-ignores-oi") {
            line.options.pin_ignores_oi = true;
        } else if (word == "--flat-vol") {
            line.options.flat_volatility = true;
        } else if (word == "--vol-memory") {
            line.options.volatility_memory = true;
        } else if (word == "--premium") {
            const auto premium = zarvex::common::ParseDouble(value());
            if (!premium || !(*premium >= 0.0 && *premium < 1.0)) {
                throw UsageError{"--premium must be a decimal from 0 up to 1: " + args[i]};
            }
            line.options.volatility_premium = *premium;
            line.premium_given = true;
        } else if (word == "--truth") {
            line.truth = std::filesystem::path(value());
            line.options.record_truth = true;
        } else {
            throw UsageError{"unknown option " + word};
        }
    }
    if (!line.from || !line.to) {
        throw UsageError{"--from and --to are needed"};
    }
    if (!line.home && !line.raw) {
        throw UsageError{"give --home, --raw or both"};
    }
    if (line.premium_given && !line.options.volatility_memory) {
        throw UsageError{"--premium goes with --vol-memory"};
    }
    if (line.options.flat_volatility && line.options.volatility_memory) {
        throw UsageError{"--flat-vol and --vol-memory are two different models"};
    }
    if (*line.to < *line.from) {
        throw UsageError{"--to lies before --from"};
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    CommandLine line;
    try {
        line = Parse(args);
    } catch (const UsageError& e) {
        std::cerr << "zarvex-reportgen: " << e.message << '\n' << kUsage;
        return 2;
    }

    const zarvex::reportgen::ReportGenerator generator(line.options);
    std::ofstream truth;
    if (line.truth) {
        truth.open(*line.truth, std::ios::binary | std::ios::trunc);
        if (!truth) {
            std::cerr << "zarvex-reportgen: cannot write " << line.truth->string() << '\n';
            return 1;
        }
    }
    std::ofstream path;
    const bool with_path = line.truth && line.options.volatility_memory;
    const std::filesystem::path path_file =
        with_path ? std::filesystem::path(line.truth->string() + ".path.csv") : "";
    if (with_path) {
        path.open(path_file, std::ios::binary | std::ios::trunc);
        if (!path) {
            std::cerr << "zarvex-reportgen: cannot write " << path_file.string() << '\n';
            return 1;
        }
    }
    bool first = true;
    for (const Date day : zarvex::reportgen::TradingDays(*line.from, *line.to)) {
        const zarvex::reportgen::GeneratedDay generated = generator.Generate(day);
        std::string error;
        if (line.home && !zarvex::reportgen::WriteProgramFolderDay(generated, *line.home, &error)) {
            std::cerr << "zarvex-reportgen: " << error << '\n';
            return 1;
        }
        if (line.raw && !zarvex::reportgen::WriteServerDay(generated, *line.raw, &error)) {
            std::cerr << "zarvex-reportgen: " << error << '\n';
            return 1;
        }
        if (line.truth) {
            truth << zarvex::reportgen::TruthCsv(generated, first);
            if (with_path) {
                path << zarvex::reportgen::PathCsv(generated, first);
                if (!path) {
                    std::cerr << "zarvex-reportgen: cannot write " << path_file.string() << '\n';
                    return 1;
                }
            }
            first = false;
            if (!truth) {
                std::cerr << "zarvex-reportgen: cannot write " << line.truth->string() << '\n';
                return 1;
            }
        }
        std::size_t rows = 0;
        for (const auto& [symbol, symbol_rows] : generated.rows) {
            rows += symbol_rows.size();
        }
        std::cout << zarvex::common::DateKey(day) << ": " << generated.report.size() << " bytes, "
                  << rows << " strike lines of the six currencies\n";
    }
    return 0;
}
