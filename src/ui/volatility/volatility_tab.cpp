#include "ui/volatility/volatility_tab.h"

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "analytics/day/quote_queries.h"
#include "analytics/volatility/shown_prices.h"
#include "analytics/volatility/volatility_summary.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "ui/volatility/series_chart.h"
#include "ui/volatility/smile_chart.h"
#include "ui/volatility/vol_plot.h"

namespace zarvex::ui {

namespace {

namespace text = common::text;

QString Number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

QString Optional(const std::optional<double>& vol) {
    return vol ? Percent(*vol) : QStringLiteral("-");
}

std::vector<std::string> ContractsOfDay(const storage::Database& db, const std::string& date) {
    std::vector<std::string> contracts;
    storage::Statement statement = analytics::quotes::Query(
        db,
        "SELECT contract FROM dating WHERE date = ? AND option IN ('CALL', 'PUT') "
        "GROUP BY contract ORDER BY MIN(rowid)",
        {date});
    while (statement.IsValid() && statement.Step()) {
        contracts.push_back(statement.ColumnText(0));
    }
    return contracts;
}

}  // namespace

VolatilityTab::VolatilityTab(QWidget* parent, const common::TextTable& texts,
                             const storage::Database& quote)
    : QWidget(parent), texts_(texts), quote_(&quote) {
    smile_ = new SmileChart(this);
    smile_->setObjectName(QStringLiteral("smileChart"));
    smile_->SetToolTipText([this](int point) { return PointText(point); });
    term_ = new SeriesChart(this);
    term_->setObjectName(QStringLiteral("termChart"));
    table_ = new QTableWidget(0, 2, this);
    table_->setObjectName(QStringLiteral("volatilityTable"));
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(17);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);
}

QString VolatilityTab::Text(int entry) const {
    return QString::fromStdString(texts_.Get(entry));
}

QString VolatilityTab::Shown(double price) const {
    return QString::fromStdString(
        analytics::ShownPrice(price, view_.symbol, view_.forward_point, view_.price_type));
}

void VolatilityTab::Follow(const VolatilityView& view) {
    view_ = view;
    figures_.reset();
    fault_.clear();
    if (!view.contract.empty()) {
        auto loaded =
            analytics::LoadContractVolatility(*quote_, view.symbol, view.date, view.contract);
        if (loaded) {
            figures_ = std::move(loaded).Value();
        } else {
            fault_ = loaded.Reason();
        }
    }
    std::optional<analytics::ContractVolatility> compare;
    if (!view.compare_date.empty() && !view.contract.empty()) {
        if (auto loaded = analytics::LoadContractVolatility(*quote_, view.symbol, view.compare_date,
                                                            view.contract)) {
            compare = std::move(loaded).Value();
        }
    }
    QString title = Text(text::kSmile) + QStringLiteral(" ") + QString::fromStdString(view.date);
    if (compare) {
        title += QStringLiteral(" / ") + QString::fromStdString(view.compare_date);
    }
    smile_->SetData(figures_.value_or(analytics::ContractVolatility()), std::move(compare), title);
    FillTable();
    FillTerm();
}

void VolatilityTab::FillTerm() {
    struct Entry {
        std::int64_t days;
        std::optional<double> atm;
        std::optional<double> rr25;
        std::optional<double> bf25;
    };
    std::vector<Entry> entries;
    if (!view_.date.empty()) {
        for (const std::string& contract : ContractsOfDay(*quote_, view_.date)) {
            const auto figures =
                analytics::LoadContractVolatility(*quote_, view_.symbol, view_.date, contract);
            if (figures && figures->atm_vol) {
                entries.push_back({figures->days, figures->atm_vol, figures->rr25, figures->bf25});
            }
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.days < b.days; });
    std::vector<double> x;
    SeriesChart::Series atm{Text(text::kAtmVol), QColor(0x1F, 0x5F, 0xBF), {}};
    SeriesChart::Series rr{QStringLiteral("RR25"), QColor(0xBF, 0x1F, 0x1F), {}};
    SeriesChart::Series bf{QStringLiteral("BF25"), QColor(0x22, 0x88, 0x22), {}};
    for (const Entry& entry : entries) {
        x.push_back(static_cast<double>(entry.days));
        atm.values.push_back(entry.atm);
        rr.values.push_back(entry.rr25);
        bf.values.push_back(entry.bf25);
    }
    term_->SetData(std::move(x), {{Text(text::kTermStructure), {atm}}, {QString(), {rr, bf}}},
                   [](double days) { return QString::number(days, 'f', 0); });
}

void VolatilityTab::FillTable() {
    std::vector<std::pair<QString, QString>> rows;
    if (!fault_.empty()) {
        // A failed read is no contract without volatility.
        rows.emplace_back(Text(text::kNoVolatility), QString::fromStdString(fault_));
    } else if (!figures_ || figures_->status != analytics::VolatilityStatus::kReady) {
        rows.emplace_back(Text(text::kNoVolatility), QString());
    } else {
        const analytics::ContractVolatility& f = *figures_;
        rows.emplace_back(Text(text::kForwardF), Shown(f.forward));
        rows.emplace_back(Text(text::kDiscountD), Number(f.discount, 6));
        rows.emplace_back(Text(text::kDaysToExpiryHeading), QString::number(f.days));
        rows.emplace_back(Text(text::kAtmVol), Optional(f.atm_vol));
        rows.emplace_back(Text(text::kRiskReversal25), Optional(f.rr25));
        rows.emplace_back(Text(text::kButterfly25), Optional(f.bf25));
        rows.emplace_back(Text(text::kExpectedMove),
                          f.expected_move ? Number(*f.expected_move, 4) : QStringLiteral("-"));
        if (f.expected_move) {
            QStringList bands;
            for (const double band : f.bands) {
                bands << Shown(band);
            }
            rows.emplace_back(Text(text::kBands), bands.join(QStringLiteral("  ")));
        }
        const analytics::MissingVolCounts missing = analytics::CountMissing(f);
        rows.emplace_back(Text(text::kNoVolNoPremium), QString::number(missing.no_premium));
        rows.emplace_back(Text(text::kNoVolIntrinsic),
                          QString::number(missing.not_above_intrinsic));
        rows.emplace_back(Text(text::kNoVolNoFit), QString::number(missing.no_fit));
        rows.emplace_back(Text(text::kNoVolNoRow), QString::number(missing.no_row));
    }
    table_->setRowCount(0);
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const auto& [name, value] = rows[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, new QTableWidgetItem(name));
        auto* item = new QTableWidgetItem(value);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, 1, item);
    }
    table_->resizeColumnToContents(0);
}

QString VolatilityTab::PointText(int point) const {
    if (!figures_ || point < 0 || static_cast<std::size_t>(point) >= figures_->points.size()) {
        return {};
    }
    const analytics::VolatilityPoint& p = figures_->points[static_cast<std::size_t>(point)];
    QString out = Text(text::kStrike) + QStringLiteral(": ") + Number(p.quote.strike, 4);
    const auto side = [&](const char* name, const analytics::ChainSide& quote,
                          const analytics::SideVolatility& vol) {
        if (!quote.present) {
            return;
        }
        out += QStringLiteral("\n") + QString::fromLatin1(name) + QStringLiteral(": ") +
               Text(text::kPrice) + QStringLiteral(" ") + QString::number(quote.price, 'g', 10) +
               QStringLiteral(", IV ") + Optional(vol.vol);
        if (vol.greeks) {
            out += QStringLiteral(", ") + Text(text::kModelDelta) + QStringLiteral(" ") +
                   Number(vol.greeks->delta, 3);
        }
        out += QStringLiteral(", ") + Text(text::kReportDelta) + QStringLiteral(" ") +
               Number(quote.report_delta, 3);
    };
    side("CALL", p.quote.call, p.call);
    side("PUT", p.quote.put, p.put);
    if (p.smile_vol) {
        out += QStringLiteral("\n") + Text(text::kSmile) + QStringLiteral(": ") +
               Percent(*p.smile_vol);
    }
    return out;
}

void VolatilityTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int smile_height = height() * 58 / 100;
    smile_->setGeometry(2, 2, width() - 4, smile_height - 4);
    const int half = width() / 2;
    term_->setGeometry(2, smile_height, half - 4, height() - smile_height - 2);
    table_->setGeometry(half, smile_height, width() - half - 2, height() - smile_height - 2);
}

}  // namespace zarvex::ui
