#pragma once

#include "app/core/LogFont.h"
#include "history/HistoryLocation.h"
#include "quotes/fetch/ParallelFetch.h"

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// The program's preferences: read from the settings store once at start-up (Load) and
// written back once at exit (Save); in between the program changes the members directly.
// The store is the per-user QSettings of "Kestrel"/"Quotra" (on Linux
// ~/.config/Kestrel/Quotra.conf); the values live in the group "4.00/Settings" under the
// names noted beside each member.
struct AppSettings {
    static constexpr qint32 kVersion = 56; // written as "Version"
    static constexpr quint32 kSystemColor = 0xFFFFFFFFu; // colour not chosen: the palette's
    static constexpr qint32 kMinUpdateMinutes = 1;
    static constexpr qint32 kMaxUpdateMinutes = 120;
    static constexpr qint16 kMinZoom = 10;
    static constexpr qint16 kMaxZoom = 500;
    static constexpr int kRankingCount = 6;
    static constexpr int kCustomPageCount = 5;
    // The column lists when none are stored: fields 0 to 15 in that order.
    static QString defaultColumnList();

    qint32 version = 0; // "Version": format of the stored values as loaded
    qint32 ribbonStyle = 0; // "RibbonStyle": theme command 4001-4004; others mean 4001
    bool searchGet = true; // "SearchGet": find picks up the clicked text
    bool searchCase = false; // "SearchCase"
    bool searchRegular = false; // "SearchRegular"
    bool searchFuzzy = false; // "SearchFuzzy"
    quint32 fuzzyOptions = 7; // "FuzzyOptions": what fuzzy matching folds, bits width 1, kana 2, case 4
    qint32 customPage = 0; // "CustomPage": 0-4
    quint32 taskWeek = 0; // "TaskWeek": bits 0-6 Sunday..Saturday, bit 15 auto run
    qint32 rankingNo = 0; // "RankingNo": 0-5
    quint64 updateSpan = 3600; // "UpdateSpan": seconds here, whole minutes in the store
    QStringList searchStrs; // "SearchStrs": find history, newest first
    qint16 zoomRate = 100; // "ZoomRate": list zoom in percent, 10-500
    quint16 currentLanguage = 0; // "Current Language"
    LogFont logFont; // "LogFont": all zero = no font chosen
    quint32 textColor = kSystemColor; // "TextColor": 0x00BBGGRR
    quint32 backColor = kSystemColor; // "BackColor"
    QString orderInfo; // "Order Info": list column at each display position
    QString columnAlign; // "Column Align": alignment of each list column
    QString columnIndex; // "Column Index": field number of each list column
    qint32 sortColumn = 0; // "SortColumn": sorted list column << 16 | ascending
    QString current; // "Current": start folder of the file dialogs
    QString autoFolder; // "AutoFolder": default output folder of scheduled runs
    qint32 parallelRequests = FetchPolicy::kDefaultParallel; // "ParallelRequests": 1-8 in flight
    qint32 requestIntervalMs = 0; // "RequestInterval": least ms between two request starts, 0-60000
    // "RetryWaitBudget": seconds one run may wait in all for the site's Retry-After, 0-3600
    qint32 retryWaitBudgetSeconds = FetchPolicy::kDefaultRetryWaitBudgetSeconds;
    bool keepHistory = true; // "KeepHistory": every update run stores its quotes in the price history
    qint32 historyDays = 0; // "HistoryDays": days of history kept, 0 = for ever; 0-36500
    QString historyFile; // "HistoryFile": the history file; empty = the user's data folder

    static constexpr qint32 kMaxHistoryDays = 36500;

    // How an update uses the site, from the three values above.
    FetchPolicy fetchPolicy() const;
    // Whether, how long and where the price history is kept, from the three values above.
    HistoryOptions historyOptions() const;

    // Migrates older versions' settings when the current ones are missing, reads every
    // value (absent or unusable values take their defaults) and applies the fix-ups.
    void Load(QSettings &store);
    // Writes every value into "4.00/Settings" and flushes; false when the store could not
    // be written.
    bool Save(QSettings &store) const;

    // The per-user store of the program.
    static std::unique_ptr<QSettings> OpenStore();
};

// Moves settings of versions 1.00, 2.00 and 3.00 forward to 4.00, each step only when its
// source exists. Runs from Load when "4.00/Settings/RibbonStyle" is missing.
void MigrateSettings(QSettings &store);
void MigrateSettings1To2(QSettings &store);
void MigrateSettings2To3(QSettings &store);
void MigrateSettings3To4(QSettings &store);

// Task days stored before version 56 had Monday in bit 0 and Sunday in bit 6.
quint32 ConvertOldTaskWeek(quint32 old);
