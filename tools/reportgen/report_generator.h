#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/date.h"
#include "import/report_row.h"

namespace zarvex::reportgen {

struct GeneratorOptions {
    std::uint64_t seed = 1;
    // Strike lines per contract block of an instrument, before duplicates and blank lines
    // (other products get half). A full-size day uses at least kFullStrikes.
    int strikes = 30;
    // Full size: every product, more contracts and strikes; a report of 1 MB or more with
    // 1,500 or more strike lines per instrument.
    bool full = false;
    bool duplicates = true;    // now and then a strike line twice, the later one correct
    bool blank_lines = true;   // now and then an empty line inside a block
    bool plain_codes = false;  // quarterly contracts also under a bare "DEC12" code
    bool raw_lf = false;       // the server's lines end in LF alone (else CR LF)
    // The first market model: one flat volatility per product, no discount.
    bool flat_volatility = false;
    // Pull the futures toward the strike of the largest open interest in the last days before
    // an expiration, with this strength (0 none, 1 all the way); with pin_ignores_oi the straddle
    // and the pull each stand at a strike drawn at random one to eight strikes away.
    double pin = 0.0;
    bool pin_ignores_oi = false;
    // Keep the model's truth of every instrument option written (GeneratedDay::truth).
    bool record_truth = false;
    // A volatility with a memory (mean-reverting, calm and stressed stretches) and futures
    // whose realized volatility lies `volatility_premium` below it (see VolatilityPath).
    bool volatility_memory = false;
    double volatility_premium = 0.02;
};

// The path behind a day of a model with a memory, per instrument.
struct PathRow {
    std::string symbol;
    double futures = 0.0;  // in the program's units (the yen per 100)
    double atm = 0.0;      // the at-the-money level before the term structure
    double realized = 0.0;
    double log_return = 0.0;
};

// The model's numbers behind one printed instrument option, in the units the program stores
// (the yen's strike and forward per 100 yen).
struct TruthRow {
    std::string symbol;
    std::string contract;  // as the quote database stores it
    bool call = true;
    double strike = 0.0;
    std::int64_t days = 0;
    double forward = 0.0;
    double discount = 1.0;
    double volatility = 0.0;
};

inline constexpr int kFullStrikes = 80;
inline constexpr int kMaxStrikes = 400;

// One generated trading day, in every form the program meets it.
struct GeneratedDay {
    common::Date day = 0;
    // INPUT/CUR_yyyymmdd.TXT as the download leaves it: "JLY" turned into "JUL", every line
    // ended by CR LF, and the one empty line that the received zero byte turns into.
    std::string report;
    // The same report as the report server serves it.
    std::string raw_report;
    // INPUT/FP_yyyymmdd.TXT as the download leaves it (the received bytes and a zero byte)
    // and as served.
    std::string forward_points;
    std::string raw_forward_points;
    // What the report parser must yield from `report` for each instrument symbol, in order.
    std::map<std::string, std::vector<import::ReportRow>, std::less<>> rows;
    // The forward point written for each instrument, as written.
    std::map<std::string, std::string, std::less<>> forward_point_texts;
    // With GeneratorOptions::record_truth: one row per instrument strike line, in report order.
    std::vector<TruthRow> truth;
    // With record_truth and volatility_memory: the path of each instrument.
    std::vector<PathRow> path;
};

// The truth as CSV with a header: date,symbol,contract,option,strike,days,forward,discount,vol
// (numbers with 17 significant digits), lines ending in LF.
std::string TruthCsv(const GeneratedDay& day, bool header);
// The path of a model with a memory as CSV with a header: date,symbol,futures,atm,realized,return
// (the futures in the program's units, the return the log change from the trading day before).
std::string PathCsv(const GeneratedDay& day, bool header);

// Builds realistic daily currency reports and forward-point files from a seed. The same seed
// and day always give the same bytes; open interest carries over consistently from one
// trading day to the next whichever days are generated.
class ReportGenerator final {
public:
    explicit ReportGenerator(GeneratorOptions options = {});

    GeneratedDay Generate(common::Date day) const;

    const GeneratorOptions& Options() const { return options_; }

private:
    GeneratorOptions options_;
};

}  // namespace zarvex::reportgen
