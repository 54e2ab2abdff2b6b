#include "ui/instrument_area.h"

#include <QLabel>

#include "analytics/left_panel/left_panel_model.h"
#include "analytics/right_panel/right_panel_model.h"
#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "day/instrument_list.h"
#include "storage/store.h"
#include "ui/control_number.h"
#include "ui/left_panel_widget.h"
#include "ui/right_panel_widget.h"

namespace zarvex::ui {

InstrumentArea::InstrumentArea(QWidget* parent, day::Instrument& instrument, int x, int y, int w,
                               int h, const InstrumentAreaServices& services)
    : QWidget(parent), instrument_(instrument), texts_(services.texts) {
    const int index = day::InstrumentList::IndexOf(instrument.Symbol());
    const int number = index < 0 ? 0 : kContainerNumbers[static_cast<std::size_t>(index)];
    SetControlNumber(this, number);
    setGeometry(x, y, w, h);
    analytics::LeftPanelServices left_services;
    left_services.host = services.host;
    left_services.folder = instrument.Folder();
    left_services.clock = services.clock;
    left_services.notifier = services.notifier;
    left_ = new LeftPanelWidget(this, number + kLeftPanelOffset, 0, 0, kLeftWidth, h,
                                *services.texts, left_services, services.blocker);
    left_->Build(LeftInput(), LeftSetup());

    right_ = new RightPanelWidget(this, number + kRightPanelOffset, kRightX, 0, w - kRightX, h,
                                  *services.texts, instrument.Stores().quote, instrument.Folder(),
                                  services.host);
    // A day picked in the History page is picked in the left panel, as the user would.
    connect(right_, &RightPanelWidget::DayPicked, left_, &LeftPanelWidget::PickDay);
    RebuildHistograms();

    no_days_ =
        new QLabel(QString::fromStdString(services.texts->Get(common::text::kNoDaysYet)), this);
    no_days_->setObjectName(QStringLiteral("noDays"));
    no_days_->setAlignment(Qt::AlignCenter);
    no_days_->setAutoFillBackground(true);
    QFont large = no_days_->font();
    if (large.pointSize() > 0) {
        large.setPointSize(large.pointSize() * 2);
    } else {
        large.setPixelSize(large.pixelSize() * 2);
    }
    no_days_->setFont(large);
    no_days_->setGeometry(0, 0, w, h);
    UpdateNoDays();
}

void InstrumentArea::UpdateNoDays() {
    const bool empty = storage::HoldsOnlySeedRow(instrument_.Stores().quote);
    no_days_->setVisible(empty);
    if (empty) {
        no_days_->raise();
    }
}

bool InstrumentArea::ShowsNoDays() const {
    return no_days_ != nullptr && !no_days_->isHidden();
}

InstrumentArea::~InstrumentArea() = default;

analytics::LeftPanelSetup InstrumentArea::LeftSetup() const {
    analytics::LeftPanelSetup setup;
    setup.database_file = instrument_.Stores().quote_path;
    return setup;
}

// The instrument owns its settings record for as long as the area lives, and the dialog edits
// the record's values in place: the panels refer to them and see every change.
analytics::AnalysisInput InstrumentArea::LeftInput() const {
    return analytics::AnalysisInput(instrument_.Settings().Values(), instrument_.Symbol());
}

void InstrumentArea::FollowLatestDay() {
    UpdateNoDays();
    if (left_->DayChosenByUser()) {
        return;
    }
    analytics::LeftPanelModel& model = left_->Model();
    if (!model.IsDatabaseOpen()) {
        left_->Build(LeftInput(), LeftSetup());
    } else {
        const std::string shown = model.Date();
        model.FindLatestDay();
        if (!model.HasDay() || model.Date() == shown) {
            return;
        }
        model.FillContractsList();
        model.ClearTables();
        model.ComputeAll();
        model.FillTables();
    }
    if (!model.HasDay()) {
        return;
    }
    RebuildHistograms();
}

void InstrumentArea::Recalculate() {
    analytics::LeftPanelModel& model = left_->Model();
    if (!model.HasDay()) {
        return;
    }
    model.ClearTables();
    model.ComputeAll();
    model.FillTables();
    RebuildHistograms();
}

void InstrumentArea::Resize(int x, int y, int w, int h) {
    setGeometry(x, y, w, h);
    if (no_days_ != nullptr) {
        no_days_->setGeometry(0, 0, w, h);
    }
    left_->Relayout(0, 0, kLeftWidth, h);
    right_->Relayout(kRightX, 0, w - kRightX, h);
}

void InstrumentArea::ShowArea() {
    setEnabled(true);
    show();
}

void InstrumentArea::HideArea() {
    setEnabled(false);
    hide();
}

void InstrumentArea::PassSettingsToLeftPanel() {
    left_->Model().SettingsChanged();
}

KeyPrices InstrumentArea::LeftKeyPrices() const {
    analytics::LeftPanelModel& model = left_->Model();
    KeyPrices prices;
    if (!model.HasDay()) {
        return prices;
    }
    const analytics::DayContext& day = model.Context();
    prices.price_type = model.PriceType();
    const common::TextTable& texts = *texts_;
    auto add = [&](const analytics::PanelNumber& number, std::string name, std::uint32_t colour,
                   bool dashed) {
        if (number.IsNumber() && number.Value() > 0.0) {
            prices.lines.push_back({number.Value(), std::move(name), colour, dashed});
        }
    };
    add(day.call_level, texts.Get(common::text::kCallLevel), 0xC01010, false);
    add(day.put_level, texts.Get(common::text::kPutLevel), 0x1010C0, false);
    // Both borders under one entry of the legend: the caption of their table, without its colon.
    std::string borders = texts.Get(common::text::kMarketBorders);
    while (!borders.empty() && (borders.back() == ':' || borders.back() == ' ')) {
        borders.pop_back();
    }
    const bool upper = day.upper_border.IsNumber() && day.upper_border.Value() > 0.0;
    add(day.upper_border, borders, 0x108010, true);
    add(day.bottom_border, upper ? std::string() : borders, 0x108010, true);
    // Max pain is a strike: placed as the delta-balance is, with the panel's forward point.
    const analytics::MaxPain pain = model.ShownMaxPain();
    if (pain.price.IsNumber() && pain.price.Value() > 0.0) {
        prices.lines.push_back(
            {pain.price.Value(), texts.Get(common::text::kMaxPain), 0xE07000, false});
    }
    return prices;
}

void InstrumentArea::RebuildHistograms() {
    analytics::AnalysisInput input = LeftInput();
    input.contract = left_->Model().Contract();
    input.day = left_->Model().DateValue();
    right_->SetKeyPrices(LeftKeyPrices());
    right_->Configure(input);
}

}  // namespace zarvex::ui
