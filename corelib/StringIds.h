#pragma once

// Every numbered text of the language resource module that the program shows, by name.
//
// Code names a text as `Ids::MsgNoValidCode`, never by its bare number. The numbers are the
// design's and are shared with lang/ja/strings.txt; the last value of each line is how many
// values the text inserts (%1 .. %n), which the language-module test checks against the
// module's wording. Adding a text: one line in QUOTRA_STRING_IDS, in number order within its
// group, and the text in lang/ja/strings.txt.
//
// Names: Column<Field> for the column captions (1000 + field number), Msg... for message
// boxes, Progress... for status-bar texts of a long operation, Caption.../Tip... for window
// and control texts, Command... for the caption of a command of the same number.

#define QUOTRA_STRING_IDS(X)                                                                                 \
    /* list title and column captions */                                                                     \
    X(NewListTitle, 1000, 0)                                                                                 \
    X(ColumnCode, 1001, 0)                                                                                   \
    X(ColumnName, 1002, 0)                                                                                   \
    X(ColumnMarket, 1003, 0)                                                                                 \
    X(ColumnPrice, 1004, 0)                                                                                  \
    X(ColumnDifference, 1005, 0)                                                                             \
    X(ColumnRatio, 1006, 0)                                                                                  \
    X(ColumnVolume, 1007, 0)                                                                                 \
    X(ColumnTradingValue, 1008, 0)                                                                           \
    X(ColumnOpen, 1009, 0)                                                                                   \
    X(ColumnHigh, 1010, 0)                                                                                   \
    X(ColumnLow, 1011, 0)                                                                                    \
    X(ColumnDividend, 1012, 0)                                                                               \
    X(ColumnYield, 1013, 0)                                                                                  \
    X(ColumnDatetime, 1014, 0)                                                                               \
    X(ColumnStatus, 1015, 0)                                                                                 \
    X(ColumnPrevClose, 1016, 0)                                                                              \
    X(ColumnPriceLimit, 1017, 0)                                                                             \
    X(ColumnMarketCap, 1018, 0)                                                                              \
    X(ColumnSharesIssued, 1019, 0)                                                                           \
    X(ColumnPer, 1020, 0)                                                                                    \
    X(ColumnPbr, 1021, 0)                                                                                    \
    X(ColumnEps, 1022, 0)                                                                                    \
    X(ColumnBps, 1023, 0)                                                                                    \
    X(ColumnRoe, 1024, 0)                                                                                    \
    X(ColumnCar, 1025, 0)                                                                                    \
    X(ColumnMinPurchase, 1026, 0)                                                                            \
    X(ColumnUnit, 1027, 0)                                                                                   \
    X(ColumnYearHigh, 1028, 0)                                                                               \
    X(ColumnYearLow, 1029, 0)                                                                                \
    X(ColumnMarginBuy, 1030, 0)                                                                              \
    X(ColumnMarginBuyChange, 1031, 0)                                                                        \
    X(ColumnMarginSell, 1032, 0)                                                                             \
    X(ColumnMarginSellChange, 1033, 0)                                                                       \
    X(ColumnMarginRatio, 1034, 0)                                                                            \
    X(ColumnBuyday, 1035, 0)                                                                                 \
    X(ColumnAmount, 1036, 0)                                                                                 \
    X(ColumnShares, 1037, 0)                                                                                 \
    X(ColumnLoss, 1038, 0)                                                                                   \
    X(ColumnMemo, 1039, 0)                                                                                   \
    /* progress texts of long operations */                                                                  \
    X(ProgressReadingFile, 2000, 0)                                                                          \
    X(ProgressExporting, 2001, 0)                                                                            \
    X(ProgressWritingWorkbook, 2002, 0)                                                                      \
    X(ProgressUpdating, 2003, 0)                                                                             \
    X(ProgressSorting, 2004, 0)                                                                              \
    X(ProgressCopyingHoldings, 2005, 0)                                                                      \
    X(ProgressSummingProfit, 2006, 0)                                                                        \
    X(ProgressFinding, 2007, 0)                                                                              \
    X(CaptionContextMenu, 2014, 0)                                                                           \
    X(MsgFindLimit, 2015, 1) /* pattern */                                                                   \
    X(MsgNotFound, 2016, 0)                                                                                  \
    X(MsgPeriodSet, 2017, 1) /* minutes */                                                                   \
    X(MsgPeriodOutOfRange, 2018, 0)                                                                          \
    X(CaptionRecentFonts, 2019, 0)                                                                           \
    X(CaptionAllFonts, 2020, 0)                                                                              \
    X(MsgNewVersionPublished, 2021, 1) /* published version */                                               \
    X(MsgVersionIsCurrent, 2022, 1) /* the reader's text */                                                  \
    X(ProgressColouring, 2023, 0)                                                                            \
    X(CaptionThemeColours, 2024, 0)                                                                          \
    X(CaptionStandardColours, 2025, 0)                                                                       \
    X(MsgRowsFailed, 2026, 1) /* rows whose update failed */                                                 \
    X(MsgOpenDefaultList, 2027, 0)                                                                           \
    X(MsgUpdateFinished, 2028, 1) /* elapsed seconds */                                                      \
    X(MsgResetColumns, 2029, 0)                                                                              \
    X(MsgTaskRegistered, 2030, 5) /* task path, list file, days, hour, minute */                             \
    X(CaptionEditColumns, 2031, 0)                                                                           \
    X(MsgLoadColumnLayout, 2032, 0)                                                                          \
    X(FilterColumnLayout, 2033, 0)                                                                           \
    X(CaptionSaveColumnLayout, 2034, 0)                                                                      \
    X(MsgTaskDeleted, 2035, 1) /* task path */                                                               \
    X(MsgProfitSum, 2036, 2) /* rows, sum */                                                                 \
    X(CaptionChooseOutputFolder, 2037, 0)                                                                    \
    X(CaptionShowColumns, 2038, 0)                                                                           \
    X(CaptionChooseList, 2039, 0)                                                                            \
    X(CaptionChooseListForWorkbook, 2040, 0)                                                                 \
    X(MsgStopOperation, 2041, 0)                                                                             \
    X(MsgStopRunningUpdate, 2042, 0)                                                                         \
    X(MsgSaveChanges, 2043, 1) /* list title */                                                              \
    X(CaptionPurchaseDay, 2044, 0)                                                                           \
    X(CaptionAmount, 2045, 0)                                                                                \
    X(CaptionShares, 2046, 0)                                                                                \
    X(CaptionMemo, 2047, 0)                                                                                  \
    X(CaptionClearHoldings, 2048, 0)                                                                         \
    X(CaptionMemoCount, 2049, 2) /* length, limit */                                                         \
    X(MsgNotANumber, 2050, 0)                                                                                \
    X(TipMoveUp, 2051, 0)                                                                                    \
    X(TipMoveDown, 2052, 0)                                                                                  \
    X(CaptionRankingDialog, 2070, 0)                                                                         \
    X(CaptionRanking, 2071, 0)                                                                               \
    X(TipOpenRankingPage, 2072, 0)                                                                           \
    X(CaptionScheduleDialog, 2073, 0)                                                                        \
    X(CaptionTaskName, 2074, 0)                                                                              \
    X(CaptionTaskList, 2075, 0)                                                                              \
    X(CaptionTaskFolder, 2076, 0)                                                                            \
    X(CaptionTaskTime, 2077, 0)                                                                              \
    X(CaptionTaskDays, 2078, 0)                                                                              \
    X(CaptionTaskAuto, 2079, 0)                                                                              \
    X(CaptionShowCrontab, 2080, 0)                                                                           \
    X(MsgRankingUnread, 2081, 1)                                                                             \
    X(CaptionCodeListDialog, 2082, 0)                                                                        \
    X(CaptionAllCodes, 2083, 0)                                                                              \
    X(CaptionArrangeAcross, 2084, 0)                                                                         \
    X(CaptionArrangeDown, 2085, 0)                                                                           \
    X(CommandCompareLists, 2086, 0)                                                                          \
    X(MsgWorkbookShown, 2087, 1)                                                                             \
    X(CaptionVersionCheck, 2090, 0)                                                                          \
    X(CaptionVersionCheckUnavailable, 2091, 0)                                                               \
    X(CaptionContactMaker, 2092, 0)                                                                          \
    X(CaptionCustomiseTitle, 2093, 0)                                                                        \
    X(CaptionCommandsPage, 2094, 0)                                                                          \
    X(CaptionKeyboardPage, 2095, 0)                                                                          \
    X(CaptionCategories, 2096, 0)                                                                            \
    X(CaptionCommandList, 2097, 0)                                                                           \
    X(CaptionCurrentKeys, 2098, 0)                                                                           \
    X(CaptionNewKey, 2099, 0)                                                                                \
    X(CaptionAssignKey, 2100, 0)                                                                             \
    X(CaptionRemoveKey, 2101, 0)                                                                             \
    X(CaptionResetKeys, 2102, 0)                                                                             \
    X(CaptionQuickAccessAdd, 2103, 0)                                                                        \
    X(CaptionQuickAccessRemove, 2104, 0)                                                                     \
    X(MsgKeyInUse, 2105, 1) /* command caption */                                                            \
    X(CaptionFileMenuCategory, 2106, 0)                                                                      \
    /* ribbon, status bar and dialog tooltips */                                                             \
    X(CaptionHomeTab, 2140, 0)                                                                               \
    X(CaptionHelpMenu, 2141, 0)                                                                              \
    X(TipZoom, 2150, 0)                                                                                      \
    X(TipZoomIn, 2151, 0)                                                                                    \
    X(TipZoomOut, 2152, 0)                                                                                   \
    X(CaptionStyleMenu, 2160, 0)                                                                             \
    X(TipOpenTaskScheduler, 2153, 0)                                                                         \
    X(TipOutputFolder, 2154, 0)                                                                              \
    X(TipChooseOutputFolder, 2155, 0)                                                                        \
    X(TipChooseList, 2156, 0)                                                                                \
    X(CaptionEmptyListHint, 2157, 0)                                                                         \
    X(TipUpdateCommand, 2170, 0)                                                                             \
    X(MsgUpdatingAllRows, 2171, 1) /* rows */                                                                \
    X(MsgNoRowDue, 2172, 0)                                                                                  \
    /* error messages */                                                                                     \
    X(MsgHelpFileMissing, 2200, 1) /* path */                                                                \
    X(MsgSelectionTooLargeToCopy, 2202, 0)                                                                   \
    X(MsgCopyFailed, 2203, 0)                                                                                \
    X(MsgColumnLayoutUnreadable, 2204, 0)                                                                    \
    X(MsgNoValidCode, 2205, 0)                                                                               \
    X(MsgAlreadyListed, 2206, 0)                                                                             \
    X(MsgOleInitFailed, 2207, 0)                                                                             \
    X(MsgWorkbookAppFailed, 2209, 0)                                                                         \
    X(MsgEmptyText, 2212, 0)                                                                                 \
    X(MsgTaskNameMissing, 2214, 0)                                                                           \
    X(MsgNoDaySelected, 2215, 0)                                                                             \
    X(MsgSaveListBeforeTask, 2216, 0)                                                                        \
    X(MsgTaskRegisterFailed, 2217, 0)                                                                        \
    X(MsgNotColumnLayout, 2218, 0)                                                                           \
    X(MsgColumnLayoutMalformed, 2219, 0)                                                                     \
    X(MsgColumnLayoutWriteFailed, 2220, 0)                                                                   \
    X(MsgUnusableCode, 2221, 0)                                                                              \
    X(MsgTaskDeleteFailed, 2222, 0)                                                                          \
    X(MsgOutputFolderMissing, 2223, 0)                                                                       \
    X(MsgCodeColumnMissing, 2224, 0)                                                                         \
    X(MsgNoColumnShown, 2225, 0)                                                                             \
    X(MsgListFileMissing, 2226, 0)                                                                           \
    X(MsgTooManyValues, 2227, 0)                                                                             \
    X(MsgTooFewColumns, 2228, 0)                                                                             \
    X(MsgLinksLeftOut, 2229, 1) /* rows without a link */                                                    \
    X(MsgSavedBesideOtherFile, 2240, 2) /* the file left alone, the file written */                          \
    X(MsgCannotOpenAddress, 2241, 1) /* path or web address */                                               \
    X(MsgNotRegularFile, 2251, 1) /* path */                                                                 \
    X(MsgTooManyRows, 2252, 2) /* path, row limit */                                                         \
    X(MsgSiteWaitTooLong, 2253, 0)                                                                           \
    X(MsgSentTextNoValidCode, 2254, 0)                                                                       \
    X(MsgLinkRunQuestion, 2261, 2) /* list, result file */                                                   \
    X(MsgLinkRunRefused, 2262, 1) /* list */                                                                 \
    X(MsgOutputFolderNotFound, 2263, 1) /* folder */                                                         \
    X(MsgAddressNotLocalFile, 2264, 1) /* address */                                                         \
    X(MsgHistoryNotKept, 2270, 1) /* reason */                                                               \
    X(MsgHistoryDamaged, 2271, 2) /* history file, the name it was moved to */                               \
    X(MsgHistoryNewerVersion, 2272, 2) /* history file, its version */                                       \
    /* the price history pane */                                                                             \
    X(CaptionPriceHistory, 2300, 0)                                                                          \
    X(CaptionRangeDay, 2301, 0)                                                                              \
    X(CaptionRangeWeek, 2302, 0)                                                                             \
    X(CaptionRangeMonth, 2303, 0)                                                                            \
    X(CaptionRangeSixMonths, 2304, 0)                                                                        \
    X(CaptionRangeYear, 2305, 0)                                                                             \
    X(CaptionRangeEverything, 2306, 0)                                                                       \
    X(CaptionHistoryTime, 2307, 0)                                                                           \
    X(CaptionHistoryExport, 2308, 0)                                                                         \
    X(TipHistoryNoSelection, 2309, 0)                                                                        \
    X(TipHistoryNoPoints, 2310, 0)                                                                           \
    X(CaptionHistoryChange, 2311, 0)                                                                         \
    X(MsgHistoryExportFailed, 2312, 1) /* reason */                                                          \
    X(TipHistoryNoFile, 2313, 0)                                                                             \
    X(FilterHistoryCsv, 2314, 0)                                                                             \
    X(TipHistoryTooManyCodes, 2315, 1) /* codes drawn */                                                     \
    /* price alerts */                                                                                       \
    X(CaptionAlertAbove, 2320, 1) /* price */                                                                \
    X(CaptionAlertBelow, 2321, 1) /* price */                                                                \
    X(CaptionAlertRiseBy, 2322, 1) /* ratio */                                                               \
    X(CaptionAlertFallBy, 2323, 1) /* ratio */                                                               \
    X(MsgAlertFired, 2324, 3) /* code and name, condition, value */                                          \
    X(MsgAlertsFired, 2325, 2) /* count, the first firing */                                                 \
    X(CaptionAlerts, 2326, 0)                                                                                \
    X(CaptionAlertNote, 2327, 0)                                                                             \
    X(CaptionAlertLastFired, 2328, 2) /* time, value */                                                      \
    X(CaptionAlertNeverFired, 2329, 0)                                                                       \
    X(CaptionAlertCurrent, 2330, 1) /* current value */                                                      \
    X(CaptionAlertConditions, 2331, 0)                                                                       \
    X(CaptionAlertList, 2332, 0)                                                                             \
    X(CaptionAlertDelete, 2333, 0)                                                                           \
    X(CaptionAlertSwitch, 2334, 0)                                                                           \
    X(CaptionAlertCode, 2335, 0)                                                                             \
    X(CaptionAlertName, 2336, 0)                                                                             \
    X(MsgAlertsNotKept, 2337, 1) /* reason */                                                                \
    X(TipAlertFired, 2338, 1) /* the conditions that fired */                                                \
    X(CaptionAlertsNotification, 2339, 0)                                                                    \
    X(CommandAlert, 2340, 0)                                                                                 \
    X(CommandPriceHistory, 2341, 0)                                                                          \
    X(CommandAlertList, 2342, 0)                                                                             \
    /* ribbon groups, themes and menus */                                                                    \
    X(CommandOpen, 4000, 0)                                                                                  \
    X(CaptionThemeBlue, 4001, 0)                                                                             \
    X(CaptionThemeBlack, 4002, 0)                                                                            \
    X(CaptionThemeSilver, 4003, 0)                                                                           \
    X(CaptionThemeAqua, 4004, 0)                                                                             \
    X(CaptionGroupFile, 4005, 0)                                                                             \
    X(CaptionGroupCode, 4007, 0)                                                                             \
    X(CaptionGroupView, 4009, 0)                                                                             \
    X(CaptionGroupSettings, 4011, 0)                                                                         \
    X(CaptionFileButton, 4014, 0)                                                                            \
    X(CommandDelete, 4015, 0)                                                                                \
    X(CommandCustomise, 4025, 0)                                                                             \
    X(CommandFindNext, 4034, 0)                                                                              \
    X(CommandFont, 4035, 0)                                                                                  \
    X(CommandFontSize, 4036, 0)                                                                              \
    X(PaneSelectedRows, 5007, 1) /* selected rows */                                                         \
    X(PaneRows, 5008, 1) /* rows */                                                                          \
    X(CommandOpenDefaultList, 5011, 0)                                                                       \
    X(CommandResetColumns, 5012, 0)                                                                          \
    X(CommandRegisterTask, 5013, 0)                                                                          \
    X(CommandColumnSettings, 5019, 0)                                                                        \
    X(CommandResetColours, 5020, 0)                                                                          \
    /* find dialog and its fuzzy options */                                                                  \
    X(CaptionFindDialog, 8896, 0)                                                                            \
    X(CaptionFindWhat, 8897, 0)                                                                              \
    X(CaptionMatchCase, 8898, 0)                                                                             \
    X(CaptionRegularExpression, 8899, 0)                                                                     \
    X(CaptionFuzzy, 8900, 0)                                                                                 \
    X(CaptionFuzzyOptions, 8901, 0)                                                                          \
    X(CaptionDirection, 8902, 0)                                                                             \
    X(CaptionUp, 8903, 0)                                                                                    \
    X(CaptionDown, 8904, 0)                                                                                  \
    X(CaptionFindNextButton, 8905, 0)                                                                        \
    X(CaptionClose, 8906, 0)                                                                                 \
    X(CaptionFuzzyOptionsDialog, 8910, 0)                                                                    \
    X(CaptionFoldWidth, 8911, 0)                                                                             \
    X(CaptionFoldKana, 8912, 0)                                                                              \
    X(CaptionFoldCase, 8913, 0)                                                                              \
    X(CaptionNewMenu, 9162, 0)                                                                               \
    X(CaptionAllCommands, 9169, 0)                                                                           \
    X(CaptionBuiltInMenus, 9174, 0)                                                                          \
    X(CaptionSortAscending, 9325, 0)                                                                         \
    X(CaptionSortDescending, 9326, 0)                                                                        \
    X(CaptionAlignLeft, 9327, 0)                                                                             \
    X(CaptionAlignCenter, 9328, 0)                                                                           \
    X(CaptionAlignRight, 9329, 0)                                                                            \
    X(CommandUpdate, 32772, 0)                                                                               \
    X(CommandUpdatePeriod, 32773, 0)                                                                         \
    X(CommandRanking, 32774, 0)                                                                              \
    X(CommandOpenWebPage, 32775, 0)                                                                          \
    X(CommandCodeList, 32776, 0)                                                                             \
    X(CommandWorkbook, 32777, 0)                                                                             \
    X(CommandFitColumns, 32779, 0)                                                                           \
    X(CommandChart, 32780, 0)                                                                                \
    X(CommandTextColour, 32791, 0)                                                                           \
    X(CommandBackColour, 32792, 0)                                                                           \
    X(CommandResetTextColour, 32793, 0)                                                                      \
    X(CommandMoreTextColours, 32794, 0)                                                                      \
    X(CommandResetBackColour, 32795, 0)                                                                      \
    X(CommandMoreBackColours, 32796, 0)                                                                      \
    X(CommandHoldings, 32797, 0)                                                                             \
    X(CommandProfitSum, 32798, 0)                                                                            \
    X(PaneIdle, 57345, 0)                                                                                    \
    X(CommandNew, 57600, 0)                                                                                  \
    X(CommandSave, 57603, 0)                                                                                 \
    X(CommandSaveAs, 57604, 0)                                                                               \
    X(CommandCopy, 57634, 0)                                                                                 \
    X(CommandFind, 57636, 0)                                                                                 \
    X(CommandPaste, 57637, 0)                                                                                \
    X(CommandSelectAll, 57642, 0)                                                                            \
    X(CommandAbout, 57664, 0)                                                                                \
    X(CommandExit, 57665, 0)                                                                                 \
    X(CommandHelp, 57669, 0)                                                                                 \
    X(CommandStatusBar, 59393, 0)

namespace Ids {

#define QUOTRA_DEFINE_STRING_ID(name, id, values) inline constexpr int name = id;
QUOTRA_STRING_IDS(QUOTRA_DEFINE_STRING_ID)
#undef QUOTRA_DEFINE_STRING_ID

// The caption of column `field` (1..39) is text 1000 + field.
inline constexpr int kColumnCaptionBase = NewListTitle;

struct StringIdEntry {
    int id;
    const char *name;
    int values; // how many values the text inserts (%1 .. %n)
};

#define QUOTRA_STRING_ID_ENTRY(name, id, values) StringIdEntry { id, #name, values },
inline constexpr StringIdEntry kAll[] = { QUOTRA_STRING_IDS(QUOTRA_STRING_ID_ENTRY) };
#undef QUOTRA_STRING_ID_ENTRY

namespace detail {
constexpr bool allDistinct()
{
    for (const StringIdEntry &a : kAll) {
        int seen = 0;
        for (const StringIdEntry &b : kAll)
            seen += a.id == b.id ? 1 : 0;
        if (seen != 1)
            return false;
    }
    return true;
}
} // namespace detail
static_assert(detail::allDistinct(), "two names for one text id");
static_assert(ColumnMemo - kColumnCaptionBase == 39, "column captions run 1001..1039");

} // namespace Ids
