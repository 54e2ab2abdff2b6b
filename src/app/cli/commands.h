#pragma once

#include <string>
#include <vector>

#include "app/cli/cli.h"

// The handlers of the command table, one file per group of commands.
namespace zarvex::cli {

using Words = std::vector<std::string>;

// commands_import.cpp
int CmdParse(Context& ctx, const Words& words);

// commands_calendar.cpp
int CmdPrice(Context& ctx, const Words& words);
int CmdTradingDay(Context& ctx, const Words& words);
int CmdHolidays(Context& ctx, const Words& words);

// commands_day.cpp
int CmdProcessDay(Context& ctx, const Words& words);
int CmdProcessPreviousDays(Context& ctx, const Words& words);
int CmdUnload(Context& ctx, const Words& words);

// commands_check.cpp
int CmdCheck(Context& ctx, const Words& words);

// commands_analytics.cpp
int CmdIndicators(Context& ctx, const Words& words);
int CmdHistogram(Context& ctx, const Words& words);
int CmdTables(Context& ctx, const Words& words);

// commands_history.cpp
int CmdHistory(Context& ctx, const Words& words);

// commands_scorecard.cpp
int CmdScorecard(Context& ctx, const Words& words);

// commands_volatility.cpp
int CmdVol(Context& ctx, const Words& words);

// commands_exposure.cpp
int CmdExposure(Context& ctx, const Words& words);

// commands_vol_history.cpp: vol --history and --cone
class Arguments;
int VolAcrossDays(Context& ctx, const Arguments& args, const std::string& symbol);
// commands_board.cpp
int CmdBoard(Context& ctx, const Words& words);
int CmdOiMap(Context& ctx, const Words& words);
int CmdAlerts(Context& ctx, const Words& words);

// commands_levels.cpp
int CmdLevels(Context& ctx, const Words& words);

// commands_serve.cpp
int CmdServe(Context& ctx, const Words& words);

// commands_complete.cpp
int CmdComplete(Context& ctx, const Words& words);

// commands_download.cpp
int CmdNetworkTime(Context& ctx, const Words& words);
int CmdExchangeTime(Context& ctx, const Words& words);
int CmdForwardPoints(Context& ctx, const Words& words);
int CmdDownloadDay(Context& ctx, const Words& words);
int CmdDownloadPreviousDays(Context& ctx, const Words& words);

// commands_demo.cpp
int CmdDemo(Context& ctx, const Words& words);

}  // namespace zarvex::cli
