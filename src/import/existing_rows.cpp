#include "import/existing_rows.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"

namespace zarvex::import {

namespace {

// Two conversions of one plain decimal text differ at most in the last bits; anything within
// this relative distance is a candidate and goes to SQLite for the exact answer.
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

bool HasNoDigit(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
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
    loaded_count_ = 0;
    std::size_t count = 0;
    storage::Statement query = db.Prepare(
        "SELECT id, symb, option, contract, strike, typeof(strike) FROM dating "
        "WHERE date = ?");
    if (!query.IsValid() || !query.Bind(1, day_text)) {
        return false;
    }
    while (query.Step()) {
        const std::string_view type = query.ColumnTextView(5);
        Stored stored{query.ColumnInt(0), type == "real" || type == "integer", 0.0, {}};
        if (stored.numeric) {
            stored.number = query.ColumnDouble(4);
        } else {
            stored.text = query.ColumnText(4);
        }
        rows_[Key(query.ColumnTextView(1), query.ColumnTextView(2), query.ColumnTextView(3))]
            .push_back(std::move(stored));
        ++count;
    }
    loaded_ = !query.Failed();
    loaded_count_ = loaded_ ? count : 0;
    return loaded_;
}

std::vector<std::int64_t> ExistingRows::Candidates(std::string_view symb, std::string_view option,
                                                   std::string_view contract,
                                                   std::string_view strike) const {
    std::vector<std::int64_t> ids;
    const auto it = rows_.find(Key(symb, option, contract));
    if (it == rows_.end()) {
        return ids;
    }
    const bool plain = IsPlainDecimal(strike);
    const bool no_digit = HasNoDigit(strike);
    const double value = plain ? common::ToDouble(strike) : 0.0;
    for (const Stored& stored : it->second) {
        bool candidate = true;  // any other text: every row, and SQLite decides
        if (plain) {
            candidate = stored.numeric && IsNear(stored.number, value);
        } else if (no_digit) {
            candidate = !stored.numeric && stored.text == strike;
        }
        if (candidate) {
            ids.push_back(stored.id);
        }
    }
    return ids;
}

void ExistingRows::AddNumber(std::int64_t id, std::string_view symb, std::string_view option,
                             std::string_view contract, double strike) {
    rows_[Key(symb, option, contract)].push_back(Stored{id, true, strike, {}});
}

void ExistingRows::AddText(std::int64_t id, std::string_view symb, std::string_view option,
                           std::string_view contract, std::string_view strike) {
    rows_[Key(symb, option, contract)].push_back(Stored{id, false, 0.0, std::string(strike)});
}

}  // namespace zarvex::import
