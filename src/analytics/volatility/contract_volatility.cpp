#include "analytics/volatility/contract_volatility.h"

#include <algorithm>
#include <cmath>

#include "analytics/volatility/parity_fit.h"

namespace zarvex::analytics {

namespace {

constexpr double kDaysPerYear = 365.0;
constexpr double kHighestVol = 5.0;
constexpr double kPriceTolerance = 1e-8;
// Premiums are decimals of a few places; where one equals its discounted intrinsic value in
// decimal arithmetic, binary arithmetic may leave it a few ulps above, and then every small
// volatility "fits". Such a tie is a tie.
constexpr double kTieTolerance = 1e-12;

// The side's volatility, without its greeks.
SideVolatility SolveVol(common::Side option, const ChainSide& side, double strike, double forward,
                        double discount, double years) {
    SideVolatility out;
    if (!side.present) {
        out.reason = NoVolReason::kNoRow;
        return out;
    }
    if (!(side.premium > 0.0)) {
        out.reason = NoVolReason::kNoPremium;
        return out;
    }
    const double intrinsic =
        discount *
        std::max(0.0, option == common::Side::kCall ? forward - strike : strike - forward);
    if (side.premium <= intrinsic + kTieTolerance * std::max(strike, forward)) {
        out.reason = NoVolReason::kNotAboveIntrinsic;
        return out;
    }
    out.reason = NoVolReason::kNoFit;
    const double root_years = std::sqrt(years);
    const auto std_dev = black76::ImpliedStdDev(option, forward, strike, side.premium, discount);
    if (!std_dev || *std_dev <= 0.0) {
        return out;
    }
    const double vol = *std_dev / root_years;
    if (!(vol > 0.0) || vol > kHighestVol) {
        return out;
    }
    const auto price = black76::Price(option, forward, strike, vol * root_years, discount);
    if (!price || std::fabs(*price - side.premium) > kPriceTolerance) {
        return out;
    }
    out.vol = vol;
    out.reason = NoVolReason::kNone;
    return out;
}

SideVolatility SolveSide(common::Side option, const ChainSide& side, double strike, double forward,
                         double discount, double years) {
    SideVolatility out = SolveVol(option, side, strike, forward, discount, years);
    if (out.vol) {
        out.greeks = black76::GreeksOf(option, forward, strike, *out.vol, years, discount);
    }
    return out;
}

}  // namespace

std::string_view NoVolReasonKey(NoVolReason reason) {
    switch (reason) {
        case NoVolReason::kNone:
            return "";
        case NoVolReason::kNoRow:
            return "no_row";
        case NoVolReason::kNoPremium:
            return "no_premium";
        case NoVolReason::kNotAboveIntrinsic:
            return "not_above_intrinsic";
        case NoVolReason::kNoFit:
            return "no_fit";
    }
    return "";
}

std::optional<std::int64_t> DaysToExpiry(std::string_view expiration, common::Date day) {
    const common::Date expiry = common::ParseDate(expiration, "%dd.%mm.%yyyy");
    if (expiry == common::kInvalidDate || day == common::kInvalidDate) {
        return std::nullopt;
    }
    return std::llround(static_cast<double>(expiry - day) / 86400.0);
}

ContractVolatility VolatilityOfChain(const OptionChain& chain, common::Date day) {
    const auto days = DaysToExpiry(chain.expiration, day);
    if (!days) {
        ContractVolatility figures;
        figures.status =
            chain.strikes.empty() ? VolatilityStatus::kNoRows : VolatilityStatus::kExpired;
        return figures;
    }
    return VolatilityForDays(chain, *days);
}

namespace {

// The status, T, the forward and the discount of a chain `days` before its expiration; false
// unless it is ready for the volatilities.
bool FitOfChain(const OptionChain& chain, std::int64_t days, ContractVolatility& figures) {
    figures.days = days;
    figures.years = static_cast<double>(days) / kDaysPerYear;
    if (chain.strikes.empty()) {
        figures.status = VolatilityStatus::kNoRows;
        return false;
    }
    if (days <= 0) {
        figures.status = VolatilityStatus::kExpired;
        return false;
    }
    const auto fit = FitParity(chain.strikes);
    if (!fit) {
        figures.status = VolatilityStatus::kNoForward;
        return false;
    }
    figures.status = VolatilityStatus::kReady;
    figures.forward = fit->forward;
    figures.discount = fit->discount;
    figures.parity_fitted = fit->fitted;
    return true;
}

}  // namespace

ContractVolatility SmileOfChain(const OptionChain& chain, common::Date day) {
    ContractVolatility figures;
    const auto days = DaysToExpiry(chain.expiration, day);
    if (!days) {
        figures.status =
            chain.strikes.empty() ? VolatilityStatus::kNoRows : VolatilityStatus::kExpired;
        return figures;
    }
    if (!FitOfChain(chain, *days, figures)) {
        return figures;
    }
    for (const ChainStrike& quote : chain.strikes) {
        // The side the smile takes first; the other only where that one gives nothing.
        const common::Side outside =
            quote.strike >= figures.forward ? common::Side::kCall : common::Side::kPut;
        const common::Side inside = common::Opposite(outside);
        const auto side_of = [&](common::Side side) -> const ChainSide& {
            return side == common::Side::kCall ? quote.call : quote.put;
        };
        std::optional<double> vol = SolveVol(outside, side_of(outside), quote.strike,
                                             figures.forward, figures.discount, figures.years)
                                        .vol;
        if (!vol) {
            vol = SolveVol(inside, side_of(inside), quote.strike, figures.forward, figures.discount,
                           figures.years)
                      .vol;
        }
        if (vol) {
            figures.smile.push_back({quote.strike, *vol});
        }
    }
    figures.atm_vol = SmileVolAt(figures.smile, figures.forward);
    return figures;
}

ContractVolatility VolatilityForDays(const OptionChain& chain, std::int64_t days) {
    ContractVolatility figures;
    if (!FitOfChain(chain, days, figures)) {
        return figures;
    }

    figures.points.reserve(chain.strikes.size());
    for (const ChainStrike& quote : chain.strikes) {
        VolatilityPoint point;
        point.quote = quote;
        point.call = SolveSide(common::Side::kCall, quote.call, quote.strike, figures.forward,
                               figures.discount, figures.years);
        point.put = SolveSide(common::Side::kPut, quote.put, quote.strike, figures.forward,
                              figures.discount, figures.years);
        const bool call_side = quote.strike >= figures.forward;
        const SideVolatility& outside = call_side ? point.call : point.put;
        const SideVolatility& inside = call_side ? point.put : point.call;
        point.smile_vol = outside.vol ? outside.vol : inside.vol;
        if (point.smile_vol) {
            figures.smile.push_back({quote.strike, *point.smile_vol});
        } else {
            point.smile_reason = outside.reason;
        }
        figures.points.push_back(point);
    }

    figures.atm_vol = SmileVolAt(figures.smile, figures.forward);
    if (!figures.atm_vol) {
        return figures;
    }
    if (const auto wings =
            WingsOf(figures.smile, figures.forward, figures.years, *figures.atm_vol)) {
        figures.rr25 = wings->rr25;
        figures.bf25 = wings->bf25;
    }
    const double spread = *figures.atm_vol * std::sqrt(figures.years);
    figures.expected_move = figures.forward * spread;
    figures.bands = {figures.forward * std::exp(-2.0 * spread), figures.forward * std::exp(-spread),
                     figures.forward * std::exp(spread), figures.forward * std::exp(2.0 * spread)};
    return figures;
}

std::optional<double> ProbabilityAbove(const ContractVolatility& figures, double x) {
    if (figures.status != VolatilityStatus::kReady || !std::isfinite(x) || x <= 0.0) {
        return std::nullopt;
    }
    const auto vol = SmileVolAt(figures.smile, x);
    if (!vol) {
        return std::nullopt;
    }
    return black76::ChanceAbove(figures.forward, x, *vol * std::sqrt(figures.years));
}

MissingVolCounts CountMissing(const ContractVolatility& figures) {
    MissingVolCounts counts;
    for (const VolatilityPoint& point : figures.points) {
        switch (point.smile_vol ? NoVolReason::kNone : point.smile_reason) {
            case NoVolReason::kNone:
                break;
            case NoVolReason::kNoRow:
                ++counts.no_row;
                break;
            case NoVolReason::kNoPremium:
                ++counts.no_premium;
                break;
            case NoVolReason::kNotAboveIntrinsic:
                ++counts.not_above_intrinsic;
                break;
            case NoVolReason::kNoFit:
                ++counts.no_fit;
                break;
        }
    }
    return counts;
}

}  // namespace zarvex::analytics
