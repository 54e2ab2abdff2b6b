#pragma once

// Names for the entries of the interface text table (common/text_table.h). The numbers are
// fixed: other code and the translations are keyed by them. Kept free of any other header so
// that every layer can name a text without linking the table itself.
namespace zarvex::common::text {

// Panel captions and table headings.
inline constexpr int kDate = 0;
inline constexpr int kContract = 1;
inline constexpr int kExpiration = 2;
inline constexpr int kPutLevel = 3;
inline constexpr int kCallLevel = 4;
inline constexpr int kMarketBorders = 5;
inline constexpr int kWidthMarket = 6;
inline constexpr int kDeltaBalance = 7;
inline constexpr int kUpperLimit = 8;
inline constexpr int kUpperBorder = 9;
inline constexpr int kChannelCenter = 10;
inline constexpr int kBottomBorder = 11;
inline constexpr int kBottomLimit = 12;
inline constexpr int kRatioPutCall = 13;
inline constexpr int kByOpenInterest = 14;
inline constexpr int kByVolume = 15;
inline constexpr int kByAveragePrice = 16;
inline constexpr int kSignificantLevels = 17;
inline constexpr int kSignificantFractals = 18;
inline constexpr int kHistograms = 19;
inline constexpr int kData = 20;
inline constexpr int kColumnOi = 21;           // "OI"
inline constexpr int kColumnOiChange = 22;     // "Chng.OI"
inline constexpr int kColumnVolume = 23;       // "Vol."
inline constexpr int kColumnPriceOi = 24;      // "Pr*OI"
inline constexpr int kColumnPriceVolume = 25;  // "Pr*V"
inline constexpr int kStrike = 26;
inline constexpr int kPrice = 27;
inline constexpr int kOpenInterest = 28;
inline constexpr int kOiChange = 29;
inline constexpr int kVolume = 30;
inline constexpr int kPriceByOi = 31;
inline constexpr int kPriceByVolume = 32;
inline constexpr int kDelta = 33;
inline constexpr int kHelp = 34;
inline constexpr int kSymbolParameters = 35;  // settings dialog title

// Settings dialog.
inline constexpr int kGroupBasic = 36;
inline constexpr int kExtractData = 37;
inline constexpr int kUnloadData = 38;
inline constexpr int kAllowForwardPoint = 39;
inline constexpr int kOutputFolder = 40;
inline constexpr int kFileNameTemplate = 41;
inline constexpr int kDataTemplate = 42;
inline constexpr int kGroupLeftPanel = 43;
inline constexpr int kLeftPriceType = 44;
inline constexpr int kLevelCondition = 45;
inline constexpr int kFractalConditions = 46;
inline constexpr int kFractalMain = 47;
inline constexpr int kFractalNear = 48;
inline constexpr int kGroupHistogram1 = 49;  // histogram N (1..4) is kGroupHistogram1 + N - 1
inline constexpr int kHistogramPriceType = 53;
inline constexpr int kDisplayScale = 54;
inline constexpr int kDisplayedParam = 55;
inline constexpr int kBarCondition = 56;
inline constexpr int kPriceTypeFutures = 57;  // price type N (0..2) is kPriceTypeFutures + N
inline constexpr int kPriceTypeStandart = 58;
inline constexpr int kPriceTypeForex = 59;
inline constexpr int kScaleAllLevels = 60;  // display scale N (0..2) is kScaleAllLevels + N
inline constexpr int kScaleInLimits = 61;
inline constexpr int kScaleInBorders = 62;
inline constexpr int kParamOpenInterest = 63;  // displayed quantity N (0..4) is this + N
inline constexpr int kParamOiChange = 64;
inline constexpr int kParamVolume = 65;
inline constexpr int kParamPriceOi = 66;
inline constexpr int kParamPriceVolume = 67;
inline constexpr int kDefault = 68;
inline constexpr int kCancel = 69;
inline constexpr int kOk = 70;

// Start-up and status texts.
inline constexpr int kProperty = 71;
inline constexpr int kPreparingToRun = 72;
inline constexpr int kLibraryInitialization = 73;
inline constexpr int kCreatingMainWindow = 74;
inline constexpr int kCreatingStatusBar = 75;
inline constexpr int kCreatingToolTabs = 76;
inline constexpr int kPleaseWait = 77;
inline constexpr int kRunningApplication = 78;
inline constexpr int kProgramStatus = 79;
inline constexpr int kStartupSuccessful = 80;
inline constexpr int kWindowLocked = 81;
inline constexpr int kProgramReady = 82;
inline constexpr int kLoadingDataFor = 83;
inline constexpr int kPreviousDaysDownloaded = 84;
inline constexpr int kPreviousDaysNotDownloaded = 85;
inline constexpr int kCurrentDayDownloaded = 86;
inline constexpr int kCurrentDayNotDownloaded = 87;
inline constexpr int kMinutes = 88;  // " min."
inline constexpr int kPreviousDaysProcessed = 89;
inline constexpr int kCurrentDayProcessed = 90;
inline constexpr int kRightTablesFilling = 91;
inline constexpr int kRightTablesFilled = 92;

// Progress texts of the calculations.
inline constexpr int kHistogramScaleStarted = 93;
inline constexpr int kHistogramScaleDone = 94;
inline constexpr int kDataProcessing = 95;
inline constexpr int kHistogramArraysStarted = 96;
inline constexpr int kHistogramArraysDone = 97;
inline constexpr int kHistogramDrawingStarted = 98;
inline constexpr int kHistogramDrawingDone = 99;
inline constexpr int kLeftPanelLocked = 100;
inline constexpr int kContractsFilling = 101;
inline constexpr int kContractsFilled = 102;
inline constexpr int kBasicIndicatorsStarted = 103;
inline constexpr int kBasicIndicatorsDone = 104;
inline constexpr int kMarketBordersStarted = 105;
inline constexpr int kMarketBordersDone = 106;
inline constexpr int kRatiosStarted = 107;
inline constexpr int kRatiosDone = 108;
inline constexpr int kSignificantLevelsStarted = 109;
inline constexpr int kSignificantLevelsDone = 110;
inline constexpr int kSignificantFractalsStarted = 111;
inline constexpr int kSignificantFractalsDone = 112;
inline constexpr int kLeftTablesFilling = 113;
inline constexpr int kLeftTablesFilled = 114;

// Message boxes. The messages end with a carriage return; the settings dialog follows each
// with kTryAgain.
inline constexpr int kMessage = 115;  // message box title
inline constexpr int kAlreadyRunning = 116;
inline constexpr int kTryAgain = 117;
inline constexpr int kNoDataForDate = 120;
inline constexpr int kBadFileNameTemplate = 121;
inline constexpr int kBadDataTemplate = 122;
inline constexpr int kBadLevelCondition = 123;
inline constexpr int kBadFractalCondition = 124;
inline constexpr int kBadBarCondition = 125;

// Views across days: the History tab, the compare overlay, saving pictures and tables.
inline constexpr int kHistory = 126;
inline constexpr int kCompareWith = 127;
inline constexpr int kCompareOff = 128;
inline constexpr int kComparePrevious = 129;
inline constexpr int kSavePicture = 130;
inline constexpr int kSavePictureTwice = 131;
inline constexpr int kCopyPicture = 132;
inline constexpr int kSaveCsv = 133;
inline constexpr int kCopyTable = 134;
inline constexpr int kMaxPain = 135;
inline constexpr int kCallOi = 136;
inline constexpr int kPutOi = 137;
inline constexpr int kCallVolume = 138;
inline constexpr int kPutVolume = 139;
inline constexpr int kRatioByOi = 140;
inline constexpr int kRatioByVolume = 141;
inline constexpr int kForwardPointCaption = 142;
inline constexpr int kChange = 143;
inline constexpr int kPngFiles = 144;
inline constexpr int kCsvFiles = 145;
inline constexpr int kCannotWrite = 146;
inline constexpr int kNoContractDays = 147;
inline constexpr int kDayColumn = 148;
inline constexpr int kMaxPainStrike = 149;
inline constexpr int kChannel = 150;

// Reading and moving through the window: tooltips, key prices, the day buttons, the status.
inline constexpr int kShownPrice = 151;
inline constexpr int kPremium = 152;
inline constexpr int kKeyPriceLines = 153;
inline constexpr int kKeyPricesNotDrawn = 154;
inline constexpr int kBarsShown = 155;
inline constexpr int kPreviousDataDay = 156;
inline constexpr int kNextDataDay = 157;
inline constexpr int kDataOf = 158;
inline constexpr int kNextDownload = 159;
inline constexpr int kDaysToExpiry = 160;

// Implied volatility: the Volatility tab, the bands, the option tables' model columns.
inline constexpr int kVolatility = 161;
inline constexpr int kSmile = 162;
inline constexpr int kTermStructure = 163;
inline constexpr int kForwardF = 164;
inline constexpr int kDiscountD = 165;
inline constexpr int kDaysToExpiryHeading = 166;
inline constexpr int kAtmVol = 167;
inline constexpr int kRiskReversal25 = 168;
inline constexpr int kButterfly25 = 169;
inline constexpr int kExpectedMove = 170;
inline constexpr int kBands = 171;
inline constexpr int kNoVolNoPremium = 172;
inline constexpr int kNoVolIntrinsic = 173;
inline constexpr int kNoVolNoFit = 174;
inline constexpr int kNoVolNoRow = 175;
inline constexpr int kImpliedVol = 176;
inline constexpr int kModelDelta = 177;
inline constexpr int kGamma = 178;
inline constexpr int kVega = 179;
inline constexpr int kTheta = 180;
inline constexpr int kShowBands = 181;
inline constexpr int kReportDelta = 182;
inline constexpr int kNoVolatility = 183;

// The evening board: figures of every symbol, the largest changes, the map, alerts, the feed.
inline constexpr int kBoard = 184;
inline constexpr int kBoardSymbol = 185;
inline constexpr int kBoardContract = 186;
inline constexpr int kBoardBuildUps = 187;
inline constexpr int kBoardUnwinds = 188;
inline constexpr int kBoardVolumeToOi = 189;
inline constexpr int kBoardOiMap = 190;
inline constexpr int kBoardMapDay = 191;
inline constexpr int kBoardMapChange1 = 192;
inline constexpr int kBoardMapChange5 = 193;
inline constexpr int kBoardSum = 194;
inline constexpr int kBoardAlerts = 195;
inline constexpr int kBoardAlertRules = 196;
inline constexpr int kBoardNoAlerts = 197;
inline constexpr int kBoardRulesHelp = 198;
inline constexpr int kBoardRulesBroken = 199;
inline constexpr int kBoardSave = 200;
inline constexpr int kBoardCheck = 201;
inline constexpr int kBoardFloor = 202;
inline constexpr int kBoardAlertsFired = 203;
inline constexpr int kBoardFeedProblem = 204;
inline constexpr int kBoardRulesProblem = 205;
inline constexpr int kBoardNoDays = 206;
inline constexpr int kBoardPrevious = 207;
inline constexpr int kBoardNotificationsOff = 208;

// A day run that waits for another program working on the same program folder.
inline constexpr int kWaitingForFolder = 209;

// Where the data comes from: the data source, the notice over the panels, the demo data.
inline constexpr int kDataSource = 210;
inline constexpr int kSetDataSource = 211;
inline constexpr int kOpenDemoData = 212;
inline constexpr int kNoDataSource = 213;
inline constexpr int kDownloadFailed = 214;
inline constexpr int kNextTry = 215;
inline constexpr int kNoDaysYet = 216;
inline constexpr int kReportServerField = 217;
inline constexpr int kTimeHostsField = 218;
inline constexpr int kBadHost = 219;
inline constexpr int kDemoRunning = 220;
inline constexpr int kDemoFailed = 221;
inline constexpr int kDemoReady = 222;
inline constexpr int kCannotSaveDataSource = 223;

// Under a chart whose bar condition could not be run: the bars stay empty, and this says why.
inline constexpr int kBarsNotRead = 224;

// After a quote file's path on the status line, before what went wrong reading it.
inline constexpr int kFileCannotBeRead = 225;

// An unload refused because its output folder is another program folder's OUTPUT/: the output
// folder, kForeignOutputFolder, that other folder, kSetOutputFolder, the configuration file.
inline constexpr int kForeignOutputFolder = 226;
inline constexpr int kSetOutputFolder = 227;

// The labels of the expected move's band in the levels text feed for trading terminals.
inline constexpr int kFeedBandLow = 228;
inline constexpr int kFeedBandHigh = 229;

// The scorecard: how the day's lines held in the days after them.
inline constexpr int kScorecard = 230;
inline constexpr int kScorecardSummary = 231;  // %1 cases, %2 first day, %3 last day
inline constexpr int kScorecardComputing = 232;
inline constexpr int kScorecardHeld = 233;
inline constexpr int kScorecardMaxPainTitle = 234;
inline constexpr int kScorecardCalibration = 235;
inline constexpr int kHorizonOneDay = 236;
inline constexpr int kHorizonFiveDays = 237;
inline constexpr int kHorizonExpiry = 238;
inline constexpr int kScorecardForward = 239;
inline constexpr int kScorecardHeldTip = 240;     // %1 held, %2 cases, %3 rate, %4-%5, %6 moves
inline constexpr int kScorecardMaxPainTip = 241;  // %1 days, %2 cases, %3, %4 errors, %5 share
inline constexpr int kScorecardBinTip = 242;      // %1 predicted, %2 observed, %3 cases
inline constexpr int kScorecardFailed = 243;
inline constexpr int kScorecardDaysLeft = 244;
inline constexpr int kLevelAsOf = 245;
inline constexpr int kScorecardBorders = 246;
inline constexpr int kScorecardLimits = 247;

// The Volatility page's distribution of the settlement and the dealers' gamma by strike.
inline constexpr int kSettlementDensity = 248;
inline constexpr int kNegativeDensityValues = 249;
inline constexpr int kGammaExposure = 250;
inline constexpr int kAssumeDealersLongCalls = 251;
inline constexpr int kAssumeDealersShortCalls = 252;
inline constexpr int kSwitchSignAssumption = 253;
inline constexpr int kZeroGamma = 254;
inline constexpr int kContractSize = 255;

// Why a host cannot be used (the Data source dialog, the saved file's notice); the dialog's
// https:// parts.
inline constexpr int kHostFaultEmpty = 256;
inline constexpr int kHostFaultScheme = 257;
inline constexpr int kHostFaultNotAHost = 258;
inline constexpr int kHostFaultCredentials = 259;
inline constexpr int kHostFaultPort = 260;
inline constexpr int kHostFaultBareIpv6 = 261;
inline constexpr int kHostFaultBrackets = 262;
inline constexpr int kHostFaultTimeHostHttps = 263;
inline constexpr int kSourceLine = 264;
inline constexpr int kSourceBeyondLimit = 265;
inline constexpr int kCaFileField = 266;
inline constexpr int kBrowse = 267;
inline constexpr int kPlainHttpWarning = 268;
inline constexpr int kChooseCaFile = 269;
inline constexpr int kSavedSourceUnusable = 270;

// Where a view's figures are being read and computed away from the window, until they arrive.
inline constexpr int kComputing = 271;

// The Volatility page's volatility across days (its second page) and the board's columns of it.
inline constexpr int kVolDayPage = 272;
inline constexpr int kVolAcrossDays = 273;
inline constexpr int kVolHistoryTitle = 274;
inline constexpr int kImplied30 = 275;
inline constexpr int kRealized20 = 276;
inline constexpr int kVolPremium = 277;
inline constexpr int kIvRank = 278;
inline constexpr int kIvPercentile = 279;
inline constexpr int kNotDefined = 280;
inline constexpr int kRankNeedsDays = 281;
inline constexpr int kVolConeTitle = 282;
inline constexpr int kConeRange = 283;
inline constexpr int kConeMedian = 284;
inline constexpr int kConeToday = 285;
inline constexpr int kVolStoreProgress = 286;
inline constexpr int kVolRowsUnread = 287;
inline constexpr int kVolMemoryHint = 288;

}  // namespace zarvex::common::text
