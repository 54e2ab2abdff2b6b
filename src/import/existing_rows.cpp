#include "import/existing_rows.h"

#include <cmath>

#include "common/text.h"

namespace zarvex::import {

namespace {

// Two conversions of one decimal text may differ in the last bits; anything within this
// relative distance counts as "near" and goes to the database for the exact answer.
constexpr double kNear = 1e-9;

bool IsNear(double a, double b) {
    return std::fabs(a - b) <= kNear * std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
}

}  // namespace

bool IsPlainDecimal(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
        ++digits;
    }
    if (digits == 0 || digits > 15) {
        return false;
    }
    if (i == text.size()) {
        return true;
    }
    if (text[i] != '.') {
        return false;
    }
    ++i;
    std::size_t decimals = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
        ++decimals;
    }
    return decimals > 0 && decimals <= 15 && i == text.size();
}

std::string ExistingRows::Key(std::string_view symb, std::string_view option,
                              std::string_view contract) {
    std::string key;
    key.reserve(symb.size() + option.size() + contract.size() + 2);
    key.append(symb).push_back('\x1f');
    key.append(option).push_back('\x1f');
    key.append(contract);
    return key;
}

bool ExistingRows::Load(const storage::Database& db, std::string_view day_text) {
    rows_.clear();
    loaded_ = false;
    storage::Statement query =
        db.Prepare("SELECT symb, option, contract, strike, typeof(strike) FROM dating "
                   "WHERE date = ?");
    if (!query.IsValid() || !query.Bind(1, day_text)) {
        return false;
    }
    while (query.Step()) {
        const std::string_view type = query.ColumnTextView(4);
        if (type == "real" || type == "integer") {
            rows_[Key(query.ColumnTextView(0), query.ColumnTextView(1), query.ColumnTextView(2))]
                .numbers.push_back(query.ColumnDouble(3));
        }
    }
    loaded_ = !query.Failed();
    return loaded_;
}

ExistingRows::Answer ExistingRows::Lookup(std::string_view symb, std::string_view option,
                                          std::string_view contract,
                                          std::string_view strike) const {
    if (!loaded_ || !IsPlainDecimal(strike)) {
        return Answer::kAskDatabase;
    }
    const auto it = rows_.find(Key(symb, option, contract));
    if (it == rows_.end()) {
        return Answer::kAbsent;
    }
    const double value = common::ToDouble(strike);
    for (double stored : it->second.numbers) {
        if (IsNear(stored, value)) {
            return Answer::kAskDatabase;
        }
    }
    return Answer::kAbsent;
}

void ExistingRows::Add(std::string_view symb, std::string_view option, std::string_view contract,
                       std::string_view strike) {
    if (IsPlainDecimal(strike)) {
        rows_[Key(symb, option, contract)].numbers.push_back(common::ToDouble(strike));
    }
}

}  // namespace zarvex::import
