#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <span>

// Every command of the window, by the design's command number. One QAction per entry is
// made from this table (CommandActions); the ribbon, the menus, the quick-access bar, the
// context menus and the key tips all show those same actions.
struct CommandDef {
    int id; // command number
    int captionId; // string resource of its caption
    const char *keyTip; // ribbon key tip, empty for none
    const char *icon; // icon name: desktop theme first, then the program's own ":/icons/<name>.svg"
    const char *shortcut; // default shortcuts, "; "-separated portable text, empty for none
    bool available; // false until the command is built: shown, but disabled
};

namespace Cmd {
inline constexpr int Open = 4000;
inline constexpr int ThemeBlue = 4001;
inline constexpr int ThemeBlack = 4002;
inline constexpr int ThemeSilver = 4003;
inline constexpr int ThemeAqua = 4004;
inline constexpr int Delete = 4015;
inline constexpr int Customise = 4025;
inline constexpr int FindNext = 4034;
inline constexpr int FontFace = 4035;
inline constexpr int FontSize = 4036;
inline constexpr int OpenDefaultList = 5011;
inline constexpr int ResetColumns = 5012;
inline constexpr int Schedule = 5013;
inline constexpr int ColumnDialog = 5019;
inline constexpr int ResetColours = 5020;
inline constexpr int UpdateSelected = 32772;
inline constexpr int UpdatePeriod = 32773;
inline constexpr int Ranking = 32774;
inline constexpr int OpenWebPage = 32775;
inline constexpr int CodeBox = 32776;
inline constexpr int Workbook = 32777;
inline constexpr int FitColumns = 32779;
// The several-files form of Workbook (Shift held) as a command of its own, so that the menus,
// a key and the customisation sheet reach it as well.
inline constexpr int CompareLists = 32810;
inline constexpr int Chart = 32780;
// The price history pane, the alert of the current row and the list of all alerts.
inline constexpr int PriceHistory = 32820;
inline constexpr int Alert = 32821;
inline constexpr int AlertList = 32822;
inline constexpr int TextColour = 32791;
inline constexpr int BackColour = 32792;
inline constexpr int ResetTextColour = 32793;
inline constexpr int MoreTextColours = 32794;
inline constexpr int ResetBackColour = 32795;
inline constexpr int MoreBackColours = 32796;
inline constexpr int Holdings = 32797;
inline constexpr int ProfitSum = 32798;
inline constexpr int New = 57600;
inline constexpr int Save = 57603;
inline constexpr int SaveAs = 57604;
inline constexpr int Copy = 57634;
inline constexpr int Find = 57636;
inline constexpr int Paste = 57637;
inline constexpr int SelectAll = 57642;
inline constexpr int About = 57664;
inline constexpr int Exit = 57665;
inline constexpr int Help = 57669;
inline constexpr int FindPrevious = 57677; // find next upwards (Shift+F3)
inline constexpr int StatusBar = 59393;
// Show or hide the column of field f: FieldBase + f.
inline constexpr int FieldBase = 1000;
} // namespace Cmd

// The ribbon's groups, left to right. When the window is too narrow for them, the groups make
// room step by step in one order over all groups: a group's small buttons drop their
// captions, or the whole group folds into one button with its caption and icon, which opens
// the group as a popup (its key tip opens it from the keyboard).
struct RibbonGroupDef {
    int captionId; // string resource of the group's caption
    const char *keyTip; // the folded group's button
    const char *icon; // icon name, as for the commands
    int captionsStep; // when its small buttons drop their captions (0: never)
    int foldStep; // when it folds (0: never)
};

std::span<const CommandDef> CommandTable();
std::span<const RibbonGroupDef> RibbonGroupTable();
const CommandDef *FindCommand(int id);
// The default shortcuts of a command, parsed from its entry.
QList<QKeySequence> DefaultShortcuts(const CommandDef &def);
// The tooltip of command `id` captioned `caption`: the caption, or for the update command
// what it does without a selection, then its first shortcut in brackets.
QString CommandToolTip(int id, const QString &caption, const QList<QKeySequence> &keys);
