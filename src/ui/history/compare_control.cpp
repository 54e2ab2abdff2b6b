#include "ui/history/compare_control.h"

#include <QComboBox>
#include <QLabel>
#include <algorithm>

#include "analytics/history/contract_days.h"
#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::ui {
namespace {

constexpr int kOff = 0;
constexpr int kPrevious = 1;

}  // namespace

CompareControl::CompareControl(QWidget* parent, const common::TextTable& texts) : QWidget(parent) {
    caption_ = new QLabel(QString::fromStdString(texts.Get(common::text::kCompareWith)), this);
    caption_->setObjectName(QStringLiteral("compareCaption"));
    caption_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    list_ = new QComboBox(this);
    list_->setObjectName(QStringLiteral("compareWith"));
    list_->addItem(QString::fromStdString(texts.Get(common::text::kCompareOff)));
    list_->addItem(QString::fromStdString(texts.Get(common::text::kComparePrevious)));
    list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(list_, &QComboBox::currentIndexChanged, this, [this] { emit Changed(); });
}

void CompareControl::SetDays(const std::vector<common::Date>& days, common::Date shown) {
    if (days == days_ && shown == shown_) {
        return;
    }
    shown_ = shown;
    const common::Date picked = list_->currentIndex() > kPrevious
                                    ? list_->currentData().toLongLong()
                                    : common::kInvalidDate;
    int index = std::min(list_->currentIndex(), kPrevious);
    days_ = days;
    const QSignalBlocker blocker(list_);
    while (list_->count() > 2) {
        list_->removeItem(list_->count() - 1);
    }
    for (auto day = days_.rbegin(); day != days_.rend(); ++day) {
        if (*day == shown_) {
            continue;
        }
        list_->addItem(QString::fromStdString(common::DayText(*day)), static_cast<qlonglong>(*day));
        if (*day == picked) {
            index = list_->count() - 1;
        }
    }
    list_->setCurrentIndex(std::max(index, kOff));
}

bool CompareControl::IsOn() const {
    return list_->currentIndex() > kOff;
}

common::Date CompareControl::OtherDay(common::Date shown) const {
    if (list_->currentIndex() == kPrevious) {
        return analytics::PreviousTradingDay(days_, shown);
    }
    if (list_->currentIndex() > kPrevious) {
        return list_->currentData().toLongLong();
    }
    return common::kInvalidDate;
}

void CompareControl::ChooseOff() {
    list_->setCurrentIndex(kOff);
}

void CompareControl::ChoosePrevious() {
    list_->setCurrentIndex(kPrevious);
}

void CompareControl::ChooseDate(common::Date day) {
    const int index = list_->findData(static_cast<qlonglong>(day));
    if (index > kPrevious) {
        list_->setCurrentIndex(index);
    }
}

std::string CompareControl::ChoiceText() const {
    if (list_->currentIndex() == kPrevious) {
        return "previous";
    }
    if (list_->currentIndex() > kPrevious) {
        return common::DayText(list_->currentData().toLongLong());
    }
    return "off";
}

void CompareControl::ChooseText(const std::string& choice) {
    if (choice == "off") {
        ChooseOff();
        return;
    }
    const common::Date day = common::ParseDate(choice, "%dd.%mm.%yyyy");
    const int index =
        day == common::kInvalidDate ? -1 : list_->findData(static_cast<qlonglong>(day));
    list_->setCurrentIndex(index > kPrevious ? index : kPrevious);
}

void CompareControl::PlaceEndingAt(int right, int y) {
    const int list_width = list_->sizeHint().width();
    const int caption_width = caption_->sizeHint().width();
    const int height = std::min(22, std::max(19, list_->sizeHint().height()));
    setGeometry(right - list_width - caption_width - 4, y, list_width + caption_width + 4, height);
    caption_->setGeometry(0, 0, caption_width, height);
    list_->setGeometry(caption_width + 4, 0, list_width, height);
}

}  // namespace zarvex::ui
