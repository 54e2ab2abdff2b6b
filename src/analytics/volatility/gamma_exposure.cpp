#include "analytics/volatility/gamma_exposure.h"

#include <cmath>
#include <map>

#include "analytics/volatility/black76.h"
#include "common/strike.h"

namespace zarvex::analytics {

namespace {

// One row that takes part in the zero-gamma search: everything but the future held.
struct HeldRow {
    double forward = 0.0;
    double strike = 0.0;
    double std_dev = 0.0;
    double discount = 1.0;
    double weight = 0.0;  // sign * OI * size * 0.01
};

double TotalAt(const std::vector<HeldRow>& rows, double factor) {
    double total = 0.0;
    for (const HeldRow& row : rows) {
        const double future = row.forward * factor;
        if (const auto gamma = black76::Gamma(future, row.strike, row.std_dev, row.discount)) {
            total += row.weight * *gamma * future * future;
        }
    }
    return total;
}

std::optional<double> ZeroGamma(const std::vector<HeldRow>& rows, double reference) {
    if (rows.empty() || !(reference > 0.0)) {
        return std::nullopt;
    }
    constexpr int kIntervals = kZeroGammaGridPoints - 1;
    std::vector<double> prices(kZeroGammaGridPoints);
    std::vector<double> totals(kZeroGammaGridPoints);
    for (int j = 0; j < kZeroGammaGridPoints; ++j) {
        const auto index = static_cast<std::size_t>(j);
        prices[index] = reference * (0.9 + 0.2 * j / kIntervals);
        totals[index] = TotalAt(rows, prices[index] / reference);
    }
    std::optional<double> best;
    const auto consider = [&](double root) {
        if (!best || std::fabs(root - reference) < std::fabs(*best - reference)) {
            best = root;
        }
    };
    for (std::size_t j = 0; j + 1 < totals.size(); ++j) {
        const double low = totals[j];
        const double high = totals[j + 1];
        if (low * high < 0.0) {
            consider(prices[j] + low / (low - high) * (prices[j + 1] - prices[j]));
        } else if (low == 0.0 && j > 0 && totals[j - 1] * high < 0.0) {
            consider(prices[j]);
        }
    }
    return best;
}

}  // namespace

GammaExposure ExposureOf(const std::vector<ExposureContract>& contracts, double contract_size,
                         GammaSign sign) {
    GammaExposure out;
    const double call_sign = sign == GammaSign::kDealerLongCalls ? 1.0 : -1.0;
    std::map<common::StrikeKey, ExposureStrike> by_strike;
    std::vector<HeldRow> held;
    std::optional<std::int64_t> nearest_days;
    for (const ExposureContract& contract : contracts) {
        if (contract.figures == nullptr) {
            continue;
        }
        const ContractVolatility& figures = *contract.figures;
        if (figures.status != VolatilityStatus::kReady) {
            // No forward or no time left: none of its rows has a volatility.
            if (contract.chain != nullptr) {
                for (const ChainStrike& strike : contract.chain->strikes) {
                    out.left_out += (strike.call.present ? 1 : 0) + (strike.put.present ? 1 : 0);
                    by_strike.try_emplace(common::StrikeKey::Of(strike.strike),
                                          ExposureStrike{strike.strike, 0.0, 0.0, 0.0});
                }
            }
            continue;
        }
        if (!nearest_days || figures.days < *nearest_days) {
            nearest_days = figures.days;
            out.reference_forward = figures.forward;
        }
        const double forward = figures.forward;
        const double root_years = std::sqrt(figures.years);
        for (const VolatilityPoint& point : figures.points) {
            ExposureStrike& entry =
                by_strike
                    .try_emplace(common::StrikeKey::Of(point.quote.strike),
                                 ExposureStrike{point.quote.strike, 0.0, 0.0, 0.0})
                    .first->second;
            for (const common::Side option : common::kSides) {
                const bool call = option == common::Side::kCall;
                const ChainSide& quote = call ? point.quote.call : point.quote.put;
                const SideVolatility& side = call ? point.call : point.put;
                if (!quote.present) {
                    continue;
                }
                if (!side.vol || !side.greeks) {
                    ++out.left_out;
                    continue;
                }
                const double weight = (call ? call_sign : -call_sign) *
                                      static_cast<double>(quote.oi) * contract_size * 0.01;
                const double value = weight * side.greeks->gamma * forward * forward;
                (call ? entry.call : entry.put) += value;
                if (quote.oi != 0) {
                    held.push_back({forward, point.quote.strike, *side.vol * root_years,
                                    figures.discount, weight});
                }
            }
        }
    }
    out.strikes.reserve(by_strike.size());
    for (auto& [key, entry] : by_strike) {
        entry.total = entry.call + entry.put;
        out.total += entry.total;
        out.strikes.push_back(entry);
    }
    if (nearest_days) {
        out.zero_gamma = ZeroGamma(held, out.reference_forward);
    }
    return out;
}

}  // namespace zarvex::analytics
