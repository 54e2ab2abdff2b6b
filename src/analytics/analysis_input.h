#pragma once

#include <string>
#include <utility>

#include "common/date.h"
#include "common/price_type.h"
#include "settings/settings.h"

namespace zarvex::analytics {

// What a model of one instrument calculates with: the instrument's own settings, read where a
// calculation needs them (so a change made in the settings dialog is what the next calculation
// uses, without copies to keep in step), with the symbol and, where the model is given them,
// the contract and the day.
//
// The settings are referenced, not copied: they must outlive every model and every input that
// refers to them. The window's instrument owns them for the whole run; a command of the command
// line keeps its own copy (with its options laid over it) alive while it calculates.
class AnalysisInput final {
public:
    // All settings at their zero values, no symbol: what a model holds before it is given one.
    AnalysisInput() = default;
    explicit AnalysisInput(const settings::Settings& settings, std::string symbol_of = {},
                           std::string contract_of = {}, common::Date day_of = common::kInvalidDate)
        : symbol(std::move(symbol_of)),
          contract(std::move(contract_of)),
          day(day_of),
          settings_(&settings) {}

    const settings::Settings& Settings() const { return *settings_; }
    // The left panel's price type.
    common::PriceType PriceType() const { return common::PriceTypeFromCode(settings_->price_type); }
    // 1 = use forward points.
    int ForwardPointSwitch() const { return settings_->is_fp; }

    std::string symbol;  // one of the instruments
    std::string contract;
    common::Date day = common::kInvalidDate;

private:
    static const settings::Settings& NoSettings() {
        static const settings::Settings kNone;
        return kNone;
    }

    const settings::Settings* settings_ = &NoSettings();
};

}  // namespace zarvex::analytics
