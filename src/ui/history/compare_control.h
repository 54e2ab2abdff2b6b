#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "common/date.h"

class QComboBox;
class QLabel;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

// "Compare with:" and its list: off (the default), the previous trading day, or one of the
// days that hold the contract, newest first. The choice lasts across days, contracts and
// rebuilds; a picked date the new contract does not hold falls back to the previous day.
class CompareControl final : public QWidget {
    Q_OBJECT

public:
    CompareControl(QWidget* parent, const common::TextTable& texts);

    // The days that hold the shown contract, oldest first, and the shown day, which the list
    // never offers: a day compared with itself shows no change. A picked date that is no
    // longer offered falls back to the previous day.
    void SetDays(const std::vector<common::Date>& days, common::Date shown);
    bool IsOn() const;
    // The day to compare the shown day with: kInvalidDate when off or when there is none.
    common::Date OtherDay(common::Date shown) const;
    // Off, previous trading day, or a date (which must be among the days).
    void ChooseOff();
    void ChoosePrevious();
    void ChooseDate(common::Date day);
    // The choice as kept across restarts: "off", "previous" or the day as "dd.mm.yyyy"; a day
    // the list does not offer chooses the previous day.
    std::string ChoiceText() const;
    void ChooseText(const std::string& choice);

    QLabel* Caption() const { return caption_; }
    QComboBox* List() const { return list_; }
    // Places the caption and the list so that the list ends at `right`.
    void PlaceEndingAt(int right, int y);

signals:
    void Changed();

private:
    QLabel* caption_ = nullptr;
    QComboBox* list_ = nullptr;
    std::vector<common::Date> days_;
    common::Date shown_ = common::kInvalidDate;
};

}  // namespace zarvex::ui
