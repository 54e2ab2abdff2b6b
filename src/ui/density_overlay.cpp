#include "ui/density_overlay.h"

#include <algorithm>

#include "analytics/volatility/density.h"
#include "analytics/volatility/shown_prices.h"
#include "analytics/volatility/smile_probability.h"
#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::ui {

std::vector<std::pair<double, double>> DensityOnAxis(const analytics::ContractVolatility& figures,
                                                     const AxisQuotation& axis) {
    const analytics::SettlementDensity density =
        analytics::DensityOf(analytics::SmileProbability(figures));
    std::vector<std::pair<double, double>> curve;
    if (!density.ready) {
        return curve;
    }
    curve.reserve(density.density.size());
    for (std::size_t i = 0; i < density.density.size(); ++i) {
        const auto shown = common::ParseDouble(analytics::ShownPrice(
            density.grid[i + 1], axis.symbol, axis.forward_point, axis.price_type));
        if (shown && *shown > 0.0) {
            curve.emplace_back(*shown, std::max(0.0, density.density[i]));
        }
    }
    return curve;
}

QString LevelChanceText(const analytics::ContractVolatility& figures, const AxisQuotation& axis,
                        double shown_price, const common::TextTable& texts) {
    const analytics::SmileProbability probability(figures);
    const auto futures =
        analytics::FuturesPriceOf(shown_price, axis.symbol, axis.forward_point, axis.price_type);
    if (!futures || !probability.Usable()) {
        return {};
    }
    const auto beyond = *futures >= probability.Forward() ? probability.Above(*futures)
                                                          : probability.Below(*futures);
    const auto touch = probability.Touch(*futures);
    if (!beyond || !touch) {
        return {};
    }
    const auto percent = [](double chance) {
        return QString::number(chance * 100.0, 'f', 1) + QStringLiteral("%");
    };
    return QString::fromStdString(texts.Get(common::text::kChanceFinishingBeyond)) +
           percent(*beyond) + QStringLiteral("\n") +
           QString::fromStdString(texts.Get(common::text::kChanceTouching)) + percent(*touch);
}

}  // namespace zarvex::ui
