#include "analytics/scorecard/scorecard.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numeric>
#include <set>
#include <utility>

#include "analytics/day/day_context.h"
#include "analytics/day/day_figures.h"
#include "analytics/day/stored_rows.h"
#include "analytics/prices.h"
#include "analytics/scorecard/as_of_levels.h"
#include "analytics/scorecard/numeric_rows.h"
#include "analytics/volatility/contract_volatility.h"
#include "analytics/volatility/option_chain.h"
#include "analytics/volatility/parity_fit.h"
#include "analytics/volatility/smile_probability.h"

namespace zarvex::analytics {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// The front contract is the nearest with at least this many calendar days to its expiration.
constexpr std::int64_t kFrontMinimumDays = 5;
constexpr double kDaysPerYear = 365.0;

struct MaxPainGroup {
    int first_day;
    int last_day;
};
constexpr std::array<MaxPainGroup, 4> kMaxPainGroups{{{1, 5}, {6, 10}, {11, 20}, {21, 60}}};

// One stored day of a contract as the scorecard walks it.
struct PathDay {
    common::Date day = common::kInvalidDate;
    std::size_t index = 0;                  // among the contract's days
    std::optional<double> forward;          // the put-call parity forward
    std::optional<std::int64_t> days_left;  // calendar days to the contract's expiration
    // Whether the forward and the ATM volatility are the volatility store's.
    bool summarised = false;
    std::optional<double> atm_vol;  // the store's, where summarised
    // The store's summary, where it is the day's and carries the smile.
    const ContractSummary* with_smile = nullptr;
    std::optional<std::int64_t> open_interest;  // CALL and PUT together, once asked for
};

struct ContractPath {
    const NumericContract* rows = nullptr;
    std::vector<PathDay> days;  // ascending
    common::Date expiration = common::kInvalidDate;
    std::unique_ptr<AsOfLevels> as_of;

    const std::string& Contract() const { return rows->contract; }
};

// One day of one contract unfolded into the rows the panel's calculations read, the memory kept
// from day to day; the day last asked for is kept until another is.
class UnfoldedDay final {
public:
    const ContractRows& Of(const NumericContract& contract, std::size_t day) {
        if (contract_ != &contract || day_ != day) {
            contract_ = &contract;
            day_ = day;
            contract.UnfoldDay(day, rows_.rows);
            rows_.expiration = contract.expiration;
            positions_.resize(rows_.rows.size());
            std::iota(positions_.begin(), positions_.end(), std::size_t{0});
        }
        return rows_;
    }
    // The positions of the rows of the day last unfolded: all of them, in order.
    const std::vector<std::size_t>& Positions() const { return positions_; }

private:
    const NumericContract* contract_ = nullptr;
    std::size_t day_ = 0;
    ContractRows rows_;
    std::vector<std::size_t> positions_;
};

// The volatility store's days by date, for looking up a day's contract.
class Summaries final {
public:
    explicit Summaries(const std::vector<DaySummary>& days) {
        for (const DaySummary& day : days) {
            const auto [at, added] = by_day_.emplace(day.date, &day);
            if (!added) {
                at->second = nullptr;  // summarised twice: leave that day to the rows
            }
        }
    }

    // The store's summary of the contract on the day, where it was made from the same rows
    // with the same expiration as the scorecard reads them: then its forward and ATM
    // volatility are exactly what fitting the rows would give. The store keeps rows without a
    // contract under the empty name, so a contract of that name is fitted from its rows.
    const ContractSummary* Of(const NumericContract& contract, common::Date day) const {
        const auto found = by_day_.find(day);
        if (found == by_day_.end() || found->second == nullptr || contract.contract.empty()) {
            return nullptr;
        }
        for (const ContractSummary& summary : found->second->contracts) {
            if (summary.contract == contract.contract) {
                return summary.expiration == contract.expiration ? &summary : nullptr;
            }
        }
        return nullptr;
    }

private:
    std::map<common::Date, const DaySummary*> by_day_;
};

// The lines of a case's evening in strike units; none where the panel shows none.
struct CaseLines {
    std::optional<double> upper_border;
    std::optional<double> bottom_border;
    std::optional<double> upper_limit;
    std::optional<double> bottom_limit;
    std::optional<double> call_level;
    std::optional<double> put_level;
    double max_pain = 0.0;
};

std::optional<double> Line(const PanelNumber& number) {
    if (!number.IsNumber() || !(number.Value() > 0.0) || !std::isfinite(number.Value())) {
        return std::nullopt;
    }
    return number.Value();
}

std::int64_t OpenInterest(const DayFigures& figures) {
    const auto call = figures.Sum(common::Side::kCall, true);
    const auto put = figures.Sum(common::Side::kPut, true);
    return call.value_or(0) + put.value_or(0);
}

std::int64_t OpenInterestOf(const ContractPath& path, PathDay& day, UnfoldedDay& unfolded) {
    if (!day.open_interest) {
        const ContractRows& rows = unfolded.Of(*path.rows, day.index);
        day.open_interest = OpenInterest(DayFigures(rows, rows.rows, unfolded.Positions()));
    }
    return *day.open_interest;
}

ContractPath PathOf(const NumericContract& contract, const Summaries& summaries,
                    std::string_view symbol, UnfoldedDay& unfolded) {
    ContractPath path;
    path.rows = &contract;
    path.expiration = common::ParseDate(contract.expiration, "%dd.%mm.%yyyy");
    path.days.reserve(contract.days.size());
    for (std::size_t i = 0; i < contract.days.size(); ++i) {
        PathDay entry;
        entry.day = contract.days[i].first;
        entry.index = i;
        entry.days_left = DaysToExpiry(contract.expiration, entry.day);
        if (const ContractSummary* summary = summaries.Of(contract, entry.day)) {
            entry.summarised = true;
            entry.forward = summary->forward;
            entry.atm_vol = summary->atm_vol;
            if (summary->smile && summary->forward && summary->discount) {
                entry.with_smile = summary;
            }
        } else if (entry.days_left && *entry.days_left > 0) {
            const ContractRows& rows = unfolded.Of(contract, i);
            if (const auto fit =
                    FitParity(ChainOfDay(rows, unfolded.Positions(), symbol).strikes)) {
                entry.forward = fit->forward;
            }
        }
        path.days.push_back(entry);
    }
    return path;
}

// What SmileOfChain gives of the day's chain, made from the store's summary of it: the same
// forward, discount and days to the expiration, and the smile as it was solved.
ContractVolatility StoredSmileFigures(const ContractSummary& summary) {
    ContractVolatility figures;
    figures.status = VolatilityStatus::kReady;
    figures.days = summary.days;
    figures.years = summary.years;
    figures.forward = *summary.forward;
    figures.discount = *summary.discount;
    figures.smile = *summary.smile;
    figures.atm_vol = summary.atm_vol;
    return figures;
}

// Running sums of one line and horizon.
struct LineTally {
    std::int64_t cases = 0;
    std::int64_t held = 0;
    double distance_sum = 0.0;
    std::int64_t distance_cases = 0;
};

struct MaxPainTally {
    std::int64_t cases = 0;
    std::int64_t closer = 0;
    double max_pain_error = 0.0;
    double forward_error = 0.0;
};

struct BinTally {
    std::int64_t cases = 0;
    std::int64_t beyond = 0;
    double predicted = 0.0;
};

class Tallies final {
public:
    LineTally& Of(ScoredLine line, ScoreHorizon horizon) { return lines[Index(line, horizon)]; }
    const LineTally& Of(ScoredLine line, ScoreHorizon horizon) const {
        return lines[Index(line, horizon)];
    }

    std::array<LineTally, kScoredLines.size() * kScoreHorizons.size()> lines{};
    std::array<MaxPainTally, kMaxPainGroups.size()> max_pain{};
    std::array<BinTally, 10> bins{};
    double brier_sum = 0.0;
    std::int64_t brier_cases = 0;

private:
    static std::size_t Index(ScoredLine line, ScoreHorizon horizon) {
        return static_cast<std::size_t>(line) * kScoreHorizons.size() +
               static_cast<std::size_t>(horizon);
    }
};

// The horizon's days of a case on path index `at`: the next one or five stored days of the
// contract, or all of them up to its last day before the expiration. Empty when the horizon
// cannot be scored (too few days, a day without a forward, an expiration not yet passed).
std::vector<std::size_t> HorizonDays(const ContractPath& path, std::size_t at, ScoreHorizon horizon,
                                     common::Date latest_stored) {
    std::size_t last = 0;
    if (horizon == ScoreHorizon::kExpiry) {
        if (path.expiration == common::kInvalidDate || latest_stored < path.expiration) {
            return {};
        }
        bool found = false;
        for (std::size_t i = path.days.size(); i-- > 0;) {
            if (path.days[i].day < path.expiration) {
                last = i;
                found = true;
                break;
            }
        }
        if (!found || last <= at) {
            return {};
        }
    } else {
        const std::size_t count = horizon == ScoreHorizon::kOneDay ? 1 : 5;
        if (at + count >= path.days.size()) {
            return {};
        }
        last = at + count;
    }
    std::vector<std::size_t> days;
    for (std::size_t i = at + 1; i <= last; ++i) {
        if (!path.days[i].forward) {
            return {};
        }
        days.push_back(i);
    }
    return days;
}

CaseLines LinesOf(ContractPath& path, const PathDay& day, const settings::Settings& standart,
                  std::string_view symbol, UnfoldedDay& unfolded) {
    DayContext context;
    context.symbol = std::string(symbol);
    context.contract = path.Contract();
    context.date = day.day;
    const ContractRows& rows = unfolded.Of(*path.rows, day.index);
    const DayFigures figures(rows, rows.rows, unfolded.Positions());
    figures.MarketBorders(standart, context);
    const DayFigures as_of(path.as_of->Through(day.day), rows.rows, unfolded.Positions());
    as_of.BasicIndicators(standart, context);
    CaseLines lines;
    if (!UpperBorderIsZero(context.upper_border)) {
        lines.upper_border = Line(context.upper_border);
    }
    if (!BottomBorderIsZero(context.bottom_border)) {
        lines.bottom_border = Line(context.bottom_border);
    }
    lines.upper_limit = Line(context.upper_limit);
    lines.bottom_limit = Line(context.bottom_limit);
    lines.call_level = Line(context.call_level);
    lines.put_level = Line(context.put_level);
    lines.max_pain = figures.DayMaxPain(symbol, 0.0, common::PriceType::kStandart).strike;
    return lines;
}

// The two lines of a channel, lower first; none unless both are there.
std::optional<std::pair<double, double>> Channel(const std::optional<double>& a,
                                                 const std::optional<double>& b) {
    if (!a || !b) {
        return std::nullopt;
    }
    return std::make_pair(std::min(*a, *b), std::max(*a, *b));
}

class CaseScorer final {
public:
    // `chances`: the case day's, needed at expiry only.
    CaseScorer(Tallies& tallies, const ContractPath& path, std::size_t at,
               std::optional<double> atm_vol, const SmileProbability* chances)
        : tallies_(tallies),
          path_(path),
          at_(at),
          atm_vol_(atm_vol),
          chances_(chances),
          forward_(*path.days[at].forward) {}

    void Score(ScoreHorizon horizon, const std::vector<std::size_t>& days, const CaseLines& lines) {
        const double span_days = static_cast<double>(
            (path_.days[days.back()].day - path_.days[at_].day) / kSecondsPerDay);
        std::optional<double> move;
        if (atm_vol_ && span_days > 0.0) {
            move = forward_ * *atm_vol_ * std::sqrt(span_days / kDaysPerYear);
        }
        const auto all = [&](auto test) {
            return std::all_of(days.begin(), days.end(),
                               [&](std::size_t i) { return test(*path_.days[i].forward); });
        };
        const auto channel = [&](ScoredLine line, const std::optional<double>& a,
                                 const std::optional<double>& b) {
            const auto bounds = Channel(a, b);
            if (!bounds) {
                return;
            }
            const bool held =
                all([&](double f) { return f >= bounds->first && f <= bounds->second; });
            Count(
                line, horizon, held,
                std::min(std::fabs(bounds->first - forward_), std::fabs(bounds->second - forward_)),
                move);
        };
        channel(ScoredLine::kBorders, lines.upper_border, lines.bottom_border);
        channel(ScoredLine::kLimits, lines.upper_limit, lines.bottom_limit);
        if (lines.call_level && forward_ < *lines.call_level) {
            const double level = *lines.call_level;
            Count(ScoredLine::kCallLevel, horizon, all([&](double f) { return f < level; }),
                  std::fabs(level - forward_), move);
        }
        if (lines.put_level && forward_ > *lines.put_level) {
            const double level = *lines.put_level;
            Count(ScoredLine::kPutLevel, horizon, all([&](double f) { return f > level; }),
                  std::fabs(level - forward_), move);
        }
    }

    void ScoreExpiry(const std::vector<std::size_t>& days, const CaseLines& lines) {
        const double last = *path_.days[days.back()].forward;
        const auto k = static_cast<int>(days.size());
        if (lines.max_pain > 0.0) {
            for (std::size_t g = 0; g < kMaxPainGroups.size(); ++g) {
                if (k >= kMaxPainGroups[g].first_day && k <= kMaxPainGroups[g].last_day) {
                    MaxPainTally& tally = tallies_.max_pain[g];
                    const double pain_error = std::fabs(last - lines.max_pain);
                    const double forward_error = std::fabs(last - forward_);
                    ++tally.cases;
                    tally.max_pain_error += pain_error;
                    tally.forward_error += forward_error;
                    tally.closer += pain_error < forward_error ? 1 : 0;
                }
            }
        }
        Calibrate(lines.upper_border, true, last);
        Calibrate(lines.bottom_border, false, last);
        Calibrate(lines.call_level, true, last);
        Calibrate(lines.put_level, false, last);
    }

private:
    void Count(ScoredLine line, ScoreHorizon horizon, bool held, double distance,
               const std::optional<double>& move) {
        LineTally& tally = tallies_.Of(line, horizon);
        ++tally.cases;
        tally.held += held ? 1 : 0;
        if (move && *move > 0.0) {
            tally.distance_sum += distance / *move;
            ++tally.distance_cases;
        }
    }

    void Calibrate(const std::optional<double>& level, bool above, double last) {
        if (!level || chances_ == nullptr) {
            return;
        }
        // The chance read along the smooth smile, as indicators' prob keys give it.
        const std::optional<double> chance_above = chances_->Above(*level);
        if (!chance_above) {
            return;
        }
        const double predicted = above ? *chance_above : 1.0 - *chance_above;
        const bool beyond = above ? last > *level : last < *level;
        const auto bin = static_cast<std::size_t>(
            std::clamp(static_cast<int>(std::floor(predicted * 10.0)), 0, 9));
        BinTally& tally = tallies_.bins[bin];
        ++tally.cases;
        tally.beyond += beyond ? 1 : 0;
        tally.predicted += predicted;
        const double miss = predicted - (beyond ? 1.0 : 0.0);
        tallies_.brier_sum += miss * miss;
        ++tallies_.brier_cases;
    }

    Tallies& tallies_;
    const ContractPath& path_;
    std::size_t at_;
    std::optional<double> atm_vol_;
    const SmileProbability* chances_;
    double forward_;
};

// The front contract of a day: the nearest expiration at least five days away, the larger open
// interest on a tie, then the smaller code.
template <typename OpenInterestOfCandidate>
const std::pair<ContractPath*, std::size_t>* Front(
    const std::vector<std::pair<ContractPath*, std::size_t>>& present,
    OpenInterestOfCandidate open_interest) {
    const std::pair<ContractPath*, std::size_t>* best = nullptr;
    for (const auto& candidate : present) {
        const PathDay& day = candidate.first->days[candidate.second];
        if (!day.days_left || *day.days_left < kFrontMinimumDays) {
            continue;
        }
        if (best == nullptr) {
            best = &candidate;
            continue;
        }
        const PathDay& held = best->first->days[best->second];
        if (*day.days_left != *held.days_left) {
            if (*day.days_left < *held.days_left) {
                best = &candidate;
            }
            continue;
        }
        const std::int64_t oi = open_interest(candidate);
        const std::int64_t held_oi = open_interest(*best);
        if (oi != held_oi) {
            if (oi > held_oi) {
                best = &candidate;
            }
        } else if (candidate.first->Contract() < best->first->Contract()) {
            best = &candidate;
        }
    }
    return best;
}

void Collect(const Tallies& tallies, Scorecard& out) {
    for (const ScoredLine line : kScoredLines) {
        for (const ScoreHorizon horizon : kScoreHorizons) {
            const LineTally& tally = tallies.Of(line, horizon);
            LineScore score;
            score.line = line;
            score.horizon = horizon;
            score.cases = tally.cases;
            score.held = tally.held;
            score.rate = WilsonInterval(tally.held, tally.cases);
            if (tally.distance_cases > 0) {
                score.distance_in_moves =
                    tally.distance_sum / static_cast<double>(tally.distance_cases);
            }
            out.lines.push_back(score);
        }
    }
    for (std::size_t g = 0; g < kMaxPainGroups.size(); ++g) {
        const MaxPainTally& tally = tallies.max_pain[g];
        MaxPainScore score;
        score.first_day = kMaxPainGroups[g].first_day;
        score.last_day = kMaxPainGroups[g].last_day;
        score.cases = tally.cases;
        if (tally.cases > 0) {
            const auto n = static_cast<double>(tally.cases);
            score.max_pain_error = tally.max_pain_error / n;
            score.forward_error = tally.forward_error / n;
        }
        score.max_pain_closer = WilsonInterval(tally.closer, tally.cases);
        out.max_pain.push_back(score);
    }
    for (std::size_t b = 0; b < tallies.bins.size(); ++b) {
        const BinTally& tally = tallies.bins[b];
        CalibrationBin bin;
        bin.bin = static_cast<int>(b);
        bin.cases = tally.cases;
        if (tally.cases > 0) {
            const auto n = static_cast<double>(tally.cases);
            bin.predicted = tally.predicted / n;
            bin.observed = static_cast<double>(tally.beyond) / n;
        }
        out.calibration.push_back(bin);
    }
    if (tallies.brier_cases > 0) {
        out.brier = tallies.brier_sum / static_cast<double>(tallies.brier_cases);
    }
}

}  // namespace

std::string_view ScoredLineKey(ScoredLine line) {
    switch (line) {
        case ScoredLine::kBorders:
            return "borders";
        case ScoredLine::kLimits:
            return "limits";
        case ScoredLine::kCallLevel:
            return "call_level";
        case ScoredLine::kPutLevel:
            return "put_level";
    }
    return {};
}

std::string_view ScoreHorizonKey(ScoreHorizon horizon) {
    switch (horizon) {
        case ScoreHorizon::kOneDay:
            return "1";
        case ScoreHorizon::kFiveDays:
            return "5";
        case ScoreHorizon::kExpiry:
            return "expiry";
    }
    return {};
}

common::Result<Scorecard> ComputeScorecard(const storage::Database& db,
                                           const ScorecardRequest& request,
                                           const std::vector<DaySummary>& summaries) {
    const std::string& symbol = request.input.symbol;
    common::Result<std::vector<NumericContract>> contracts = ReadNumericContracts(db);
    if (!contracts) {
        return common::Result<Scorecard>::Failed(contracts.Reason());
    }
    Scorecard out;
    out.symbol = symbol;
    out.all_contracts = request.all_contracts;

    // The lines are read in strike units: the instrument's settings with the price type
    // Standart, whatever the panel shows.
    settings::Settings standart = request.input.Settings();
    standart.price_type = static_cast<std::int8_t>(common::PriceType::kStandart);

    const Summaries summarised(summaries);
    UnfoldedDay unfolded;
    std::vector<ContractPath> paths;
    paths.reserve(contracts->size());
    std::set<common::Date> stored;
    for (const NumericContract& contract : *contracts) {
        paths.push_back(PathOf(contract, summarised, symbol, unfolded));
        paths.back().as_of = std::make_unique<AsOfLevels>(contract);
        for (const PathDay& day : paths.back().days) {
            stored.insert(day.day);
        }
    }
    out.from = request.from;
    out.to = request.to;
    if (!stored.empty()) {
        if (out.from == common::kInvalidDate) {
            out.from = *stored.begin();
        }
        if (out.to == common::kInvalidDate) {
            out.to = *stored.rbegin();
        }
    }
    const common::Date latest = stored.empty() ? common::kInvalidDate : *stored.rbegin();

    const auto open_interest = [&](const std::pair<ContractPath*, std::size_t>& candidate) {
        ContractPath& path = *candidate.first;
        return OpenInterestOf(path, path.days[candidate.second], unfolded);
    };
    // Each contract's next day to look at, as the stored days go by in order.
    std::vector<std::size_t> cursor(paths.size(), 0);
    Tallies tallies;
    std::vector<std::pair<ContractPath*, std::size_t>> present;
    for (const common::Date day : stored) {
        present.clear();
        for (std::size_t p = 0; p < paths.size(); ++p) {
            std::vector<PathDay>& days = paths[p].days;
            while (cursor[p] < days.size() && days[cursor[p]].day < day) {
                ++cursor[p];
            }
            if (cursor[p] < days.size() && days[cursor[p]].day == day) {
                present.emplace_back(&paths[p], cursor[p]);
            }
        }
        if ((request.from != common::kInvalidDate && day < request.from) ||
            (request.to != common::kInvalidDate && day > request.to)) {
            continue;
        }
        std::vector<std::pair<ContractPath*, std::size_t>> cases;
        if (request.all_contracts) {
            for (const auto& candidate : present) {
                if (open_interest(candidate) > 0) {
                    cases.push_back(candidate);
                }
            }
        } else if (const auto* front = Front(present, open_interest)) {
            cases.push_back(*front);
        }
        for (const auto& [path, at] : cases) {
            const PathDay& today = path->days[at];
            if (!today.forward) {
                continue;
            }
            std::array<std::vector<std::size_t>, kScoreHorizons.size()> horizons;
            bool any = false;
            for (std::size_t h = 0; h < kScoreHorizons.size(); ++h) {
                horizons[h] = HorizonDays(*path, at, kScoreHorizons[h], latest);
                any = any || !horizons[h].empty();
            }
            if (!any) {
                continue;
            }
            const CaseLines lines = LinesOf(*path, today, standart, symbol, unfolded);
            // The smile is needed only where the chances are read, at expiry, and where the
            // store has no ATM volatility for the day; it is solved where the store has none.
            const bool at_expiry =
                !horizons[static_cast<std::size_t>(ScoreHorizon::kExpiry)].empty();
            std::optional<ContractVolatility> volatility;
            if (at_expiry && today.with_smile != nullptr) {
                volatility = StoredSmileFigures(*today.with_smile);
            } else if (at_expiry || !today.summarised) {
                const ContractRows& rows = unfolded.Of(*path->rows, today.index);
                volatility =
                    SmileOfChain(ChainOfDay(rows, unfolded.Positions(), symbol), today.day);
            }
            std::optional<SmileProbability> chances;
            if (at_expiry) {
                chances.emplace(*volatility);
            }
            CaseScorer scorer(tallies, *path, at,
                              today.summarised ? today.atm_vol : volatility->atm_vol,
                              chances ? &*chances : nullptr);
            for (std::size_t h = 0; h < kScoreHorizons.size(); ++h) {
                if (horizons[h].empty()) {
                    continue;
                }
                scorer.Score(kScoreHorizons[h], horizons[h], lines);
                if (kScoreHorizons[h] == ScoreHorizon::kExpiry) {
                    scorer.ScoreExpiry(horizons[h], lines);
                }
            }
        }
    }
    Collect(tallies, out);
    return common::Result<Scorecard>::Of(std::move(out));
}

}  // namespace zarvex::analytics
