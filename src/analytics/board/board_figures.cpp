#include "analytics/board/board_figures.h"

#include <utility>

#include "analytics/history/contract_day.h"

namespace zarvex::analytics {

ContractDayFigures ComputeContractDay(const ContractRows& rows,
                                      const std::vector<std::size_t>& positions, common::Date day,
                                      const AnalysisInput& input, double forward_point,
                                      TermContract* term) {
    ContractDayFigures out;
    out.result = DayResultOf(rows, positions, day, input, forward_point, term);
    out.values = FigureValues(out.result);
    return out;
}

}  // namespace zarvex::analytics
