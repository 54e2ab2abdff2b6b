#include "export/unload.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "common/calendar.h"
#include "common/log.h"
#include "common/text.h"
#include "common/text_id.h"
#include "export/foreign_output.h"
#include "export/unload_template.h"
#include "storage/condition_bound.h"
#include "storage/grouped_condition.h"
#include "storage/quote_columns.h"
#include "storage/stage_flags.h"

namespace zarvex::exporting {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

namespace column = storage::quote_column;

// The value a field name writes, or false for a name that writes nothing.
bool AppendField(std::string& line, std::string_view field, const storage::Statement& row) {
    auto text = [&](int column) { line += row.ColumnTextView(column); };
    auto fixed = [&](int column) { line += common::FormatFixed(row.ColumnDouble(column), 5); };
    if (field == "strike") {
        fixed(column::kStrike);
    } else if (field == "price") {
        fixed(column::kPrice);
    } else if (field == "delta") {
        fixed(column::kDelta);
    } else if (field == "volume") {
        text(column::kVolume);
    } else if (field == "oi") {
        text(column::kOi);
    } else if (field == "doi") {
        text(column::kDoi);
    } else if (field == "sign") {
        const std::string_view sign = common::Trim(row.ColumnTextView(column::kSign));
        line += sign.empty() ? std::string_view("0") : sign;
    } else if (field == "symb") {
        text(column::kSymb);
    } else if (field == "option") {
        text(column::kOption);
    } else if (field == "contract") {
        text(column::kContract);
    } else if (field == "expiration") {
        text(column::kExpiration);
    } else if (field == "date") {
        text(column::kDate);
    } else {
        return false;
    }
    return true;
}

// Drops the last character of the line: the separator after the last value. A separator
// may be any UTF-8 text, so a whole character goes, never half of one.
void DropLastCharacter(std::string& line) {
    if (line.empty()) {
        return;
    }
    std::size_t cut = line.size() - 1;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    const auto lead = static_cast<unsigned char>(line[cut]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC0 || cut + length != line.size()) {
        cut = line.size() - 1;  // not a well-formed character: one byte, as written
    }
    line.erase(cut);
}

std::uintmax_t FileSizeOr(const std::filesystem::path& path, std::uintmax_t fallback) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? fallback : size;
}

bool CopyReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

// The condition of the data template as a failure names it.
std::string ConditionFailure(const UnloadTemplate& layout, std::string_view why) {
    return storage::NamedConditionFailure("the condition of Teplate_Outputdata", layout.condition,
                                          why);
}

// Writes the selected rows; fails when the query failed or a write did not go through.
common::Outcome WriteRows(std::FILE* out, const storage::Database& quote,
                          const UnloadTemplate& layout, std::string_view symbol,
                          const std::string& day_text) {
    std::string sql = "SELECT * FROM dating WHERE symb = ? AND date= ?";
    if (!layout.condition.empty()) {
        if (const std::optional<std::string> refused = storage::GroupRefusal(layout.condition)) {
            return common::Outcome::Failed(ConditionFailure(layout, *refused));
        }
        sql += *storage::AndGrouped(layout.condition);
    }
    const storage::ConditionBound bound(quote);
    storage::Statement query = quote.Prepare(sql);
    if (!query.IsValid() || !query.BindAll({symbol, std::string_view(day_text)})) {
        return common::Outcome::Failed(ConditionFailure(layout, bound.Why(query)));
    }
    std::string line;
    while (query.Step()) {
        line.clear();
        for (const std::string& field : layout.fields) {
            if (AppendField(line, field, query)) {
                line += layout.separator;
            }
        }
        DropLastCharacter(line);
        line += "\r\n";
        if (std::fwrite(line.data(), 1, line.size(), out) != line.size()) {
            return common::Outcome::Failed(std::strerror(errno));
        }
    }
    if (query.Failed()) {
        return common::Outcome::Failed(ConditionFailure(layout, bound.Why(query)));
    }
    return common::Outcome::Done();
}

// The failed unload, noted where the user looks: the log and the status bar.
common::Outcome Fail(const common::Host& host, const settings::InstrumentStores& stores,
                     std::string why) {
    common::Log("unload ", stores.symbol, ": ", why);
    host.ShowStatus(stores.symbol + ": " + why);
    return common::Outcome::Failed(std::move(why));
}

}  // namespace

void CopyForwardPoints(const common::ProgramFolder& folder, std::string_view output_folder,
                       common::Date date) {
    auto target = [&](common::Date day) {
        return std::filesystem::path(output_folder) / ("FP_" + common::DateKey(day) + ".TXT");
    };
    const common::Date next = common::NextTradingDay(date);
    const auto next_file = folder.ForwardPointFile(next);
    // On the evening of the day itself the next day's file does not exist yet: then, as for
    // an empty file, the day's own file is copied.
    if (FileSizeOr(next_file, 0) > 0) {
        CopyReplacing(next_file, target(next));
        return;
    }
    const common::Date own = common::PreviousTradingDay(next);
    CopyReplacing(folder.ForwardPointFile(own), target(own));
}

common::Outcome UnloadDay(const common::ProgramFolder& folder,
                          const settings::InstrumentStores& stores, const common::Host& host,
                          common::Date date) {
    const settings::SettingsRecord& record = stores.settings;
    const std::string date_key = common::DateKey(date);
    const std::string day_text = common::DayText(date);
    common::Log("unload ", stores.symbol, " ", date_key);

    if (!record.Problem().empty()) {
        return Fail(host, stores, record.ProblemText());
    }
    if (!common::IsTradingDay(date)) {
        return common::Outcome::Done();
    }
    if (record.IsExtract() == 0 || record.IsUpload() == 0) {
        return common::Outcome::Done();
    }
    if (storage::GetStageFlag(stores.operation, date_key, storage::kStageUpload) == 1) {
        return common::Outcome::Done();
    }

    if (record.OutputFolder().empty()) {
        // The file name alone would put the day into whatever folder the program was started
        // from.
        return Fail(host, stores, "the output folder (OutputFolder) is not set");
    }
    if (const std::filesystem::path other = ForeignProgramFolder(folder, record.OutputFolder());
        !other.empty()) {
        return Fail(host, stores,
                    record.OutputFolder() + host.Text(common::text::kForeignOutputFolder) +
                        other.string() + host.Text(common::text::kSetOutputFolder) +
                        record.Path().string());
    }
    const UnloadTemplate layout = ParseUnloadTemplate(record.TemplateOutputData());
    // Joined as paths: a folder typed without its trailing "/" still receives the file, rather
    // than a file beside it that carries the folder's name as a prefix.
    const std::filesystem::path path =
        std::filesystem::path(record.OutputFolder()) /
        UnloadFileName(record.TemplateFileName(), stores.symbol, date);

    common::Outcome written = common::Outcome::Done();
    {
        File out(std::fopen(path.c_str(), "wb"));
        if (!out) {
            return Fail(host, stores,
                        "cannot create " + path.string() + ": " + std::strerror(errno));
        }
        written = WriteRows(out.get(), stores.quote, layout, stores.symbol, day_text);
        if (written.IsDone() && std::fflush(out.get()) != 0) {
            written = common::Outcome::Failed(std::strerror(errno));
        }
    }
    if (!written.IsDone()) {
        // What a failed run leaves is an empty file, never half a day that looks complete.
        File truncate(std::fopen(path.c_str(), "wb"));
        return Fail(host, stores, "could not write " + path.string() + ": " + written.Reason());
    }

    if (FileSizeOr(path, 0) > 3) {
        CopyForwardPoints(folder, record.OutputFolder(), date);
        for (int i = 0; i < 10; ++i) {
            host.PumpEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (!storage::MarkStage(stores.operation, date_key, storage::kStageUpload)) {
            return Fail(host, stores,
                        "the upload flag of " + date_key + " could not be written to " +
                            stores.operation_path.string() + ": " + stores.operation.LastError());
        }
        common::Log("unload done ", path.string());
        return common::Outcome::Done();
    }
    std::error_code error;
    std::filesystem::remove(path, error);
    return common::Outcome::Done();
}

}  // namespace zarvex::exporting
