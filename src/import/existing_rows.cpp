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

// The three texts, each after its length, so that no two different triples share a key
// whatever characters the texts hold.
void AppendPart(std::string& key, std::string_view part) {
    const auto size = static_cast<std::uint32_t>(part.size());
    key.append(reinterpret_cast<const char*>(&size), sizeof size);
    key.append(part);
}

void MakeKey(std::string& key, std::string_view symb, std::string_view option,
             std::string_view contract) {
    key.clear();
    AppendPart(key, symb);
    AppendPart(key, option);
    AppendPart(key, contract);
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

ExistingRows::Group* ExistingRows::Find(std::string_view symb, std::string_view option,
                                        std::string_view contract) {
    if (last_ != nullptr && symb == last_symb_ && option == last_option_ &&
        contract == last_contract_) {
        return last_;
    }
    last_symb_.assign(symb);
    last_option_.assign(option);
    last_contract_.assign(contract);
    MakeKey(last_key_, symb, option, contract);
    const auto it = groups_.find(last_key_);
    last_ = it == groups_.end() ? nullptr : &it->second;
    return last_;
}

ExistingRows::Group& ExistingRows::At(std::string_view symb, std::string_view option,
                                      std::string_view contract) {
    if (Group* group = Find(symb, option, contract)) {
        return *group;
    }
    // Nodes of the map keep their place when it grows, so the group stays where last_ points.
    last_ = &groups_[last_key_];
    return *last_;
}

std::optional<double> ExistingRows::AsColumnNumber(std::string_view strike, bool& probed) {
    probed = false;
    if (!as_number_.IsValid()) {
        return std::nullopt;
    }
    as_number_.Reset(true);
    if (!as_number_.Bind(1, strike) || !as_number_.Step()) {
        as_number_.Reset(true);
        return std::nullopt;
    }
    probed = true;
    std::optional<double> number;
    if (as_number_.ColumnInt(0) == 1) {
        number = as_number_.ColumnDouble(1);
    }
    as_number_.Reset(true);
    return number;
}

bool ExistingRows::Load(const storage::Database& db, std::string_view day_text) {
    // A cast to REAL has the strike column's affinity, so comparing it with the bare text
    // converts the text exactly as "strike = ?" does: equal only when the whole text is a
    // number SQLite reads (a prefix such as "12abc" stays a text and compares unequal).
    as_number_ = db.Prepare("SELECT CAST(?1 AS REAL) = ?1, CAST(?1 AS REAL)");
    groups_.clear();
    last_ = nullptr;
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
        const std::int64_t id = query.ColumnInt(0);
        Group& group =
            At(query.ColumnTextView(1), query.ColumnTextView(2), query.ColumnTextView(3));
        if (type == "real" || type == "integer") {
            group.numbers.emplace(query.ColumnDouble(4), id);
        } else {
            group.texts.emplace_back(query.ColumnText(4), id);
        }
        ++count;
    }
    loaded_ = !query.Failed();
    loaded_count_ = loaded_ ? count : 0;
    return loaded_;
}

std::vector<std::int64_t> ExistingRows::Candidates(std::string_view symb, std::string_view option,
                                                   std::string_view contract,
                                                   std::string_view strike) {
    std::vector<std::int64_t> ids;
    const Group* group = Find(symb, option, contract);
    if (group == nullptr) {
        return ids;
    }
    const auto near_numbers = [&](double value) {
        if (!std::isfinite(value)) {
            const auto [first, last] = group->numbers.equal_range(value);
            for (auto it = first; it != last; ++it) {
                ids.push_back(it->second);
            }
            return;
        }
        // Twice the distance of IsNear from the strike's own size covers every stored number
        // that IsNear could accept; IsNear then decides.
        const double reach = 2.0 * kNear * std::fmax(1.0, std::fabs(value));
        const auto end = group->numbers.upper_bound(value + reach);
        for (auto it = group->numbers.lower_bound(value - reach); it != end; ++it) {
            if (IsNear(it->first, value)) {
                ids.push_back(it->second);
            }
        }
    };
    // A text that stays a text equals only the same text: a number never equals a text.
    const auto same_texts = [&] {
        for (const auto& [text, id] : group->texts) {
            if (text == strike) {
                ids.push_back(id);
            }
        }
    };
    bool probed = true;
    if (IsPlainDecimal(strike)) {
        near_numbers(common::ToDouble(strike));
    } else if (HasNoDigit(strike)) {
        same_texts();
    } else if (const std::optional<double> number = AsColumnNumber(strike, probed)) {
        near_numbers(*number);
    } else if (probed) {
        same_texts();
    } else {
        // SQLite could not be asked: every row, and the comparison by id decides.
        for (const auto& [value, id] : group->numbers) {
            ids.push_back(id);
        }
        for (const auto& [text, id] : group->texts) {
            ids.push_back(id);
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

void ExistingRows::AddNumber(std::int64_t id, std::string_view symb, std::string_view option,
                             std::string_view contract, double strike) {
    At(symb, option, contract).numbers.emplace(strike, id);
}

void ExistingRows::AddText(std::int64_t id, std::string_view symb, std::string_view option,
                           std::string_view contract, std::string_view strike) {
    At(symb, option, contract).texts.emplace_back(std::string(strike), id);
}

}  // namespace zarvex::import
