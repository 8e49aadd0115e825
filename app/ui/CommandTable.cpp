#include "app/ui/CommandTable.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"

#include <QString>

namespace {

// Captions are the command's own text (caption id = command id) unless noted.
constexpr CommandDef kCommands[] = {
    // File
    { Cmd::New, Cmd::New, "N", "document-new", "Ctrl+N", true },
    { Cmd::Open, Cmd::Open, "O", "document-open", "Ctrl+O", true },
    { Cmd::Save, Cmd::Save, "W", "document-save", "Ctrl+S", true },
    { Cmd::SaveAs, Cmd::SaveAs, "SA", "document-save-as", "Ctrl+Shift+S", true },
    { Cmd::OpenDefaultList, Cmd::OpenDefaultList, "", "quotra-default-list", "F2", true },
    { Cmd::Exit, Cmd::Exit, "X", "application-exit", "Ctrl+Q", true },
    // Codes
    { Cmd::UpdateSelected, Cmd::UpdateSelected, "U", "view-refresh", "F5", true },
    { Cmd::OpenWebPage, Cmd::OpenWebPage, "I", "internet-web-browser", "", true },
    { Cmd::Find, Cmd::Find, "F", "edit-find", "Ctrl+F", true },
    { Cmd::FindNext, Cmd::FindNext, "", "", "F3", true },
    { Cmd::FindPrevious, Cmd::FindNext, "", "", "Shift+F3", true },
    { Cmd::Workbook, Cmd::Workbook, "E", "x-office-spreadsheet", "", true },
    { Cmd::CompareLists, Ids::CommandCompareLists, "", "x-office-spreadsheet", "Ctrl+Shift+E", true },
    { Cmd::Chart, Cmd::Chart, "G", "quotra-chart", "", true },
    { Cmd::Alert, Ids::CommandAlert, "", "quotra-alert", "Ctrl+L", true },
    { Cmd::AlertList, Ids::CommandAlertList, "", "", "Ctrl+Shift+L", true },
    { Cmd::Delete, Cmd::Delete, "D", "edit-delete", "Del", true },
    { Cmd::Copy, Cmd::Copy, "C", "edit-copy", "Ctrl+C", true },
    { Cmd::CodeBox, Cmd::CodeBox, "J", "", "Space", true },
    { Cmd::SelectAll, Cmd::SelectAll, "A", "edit-select-all", "Ctrl+A", true },
    { Cmd::Paste, Cmd::Paste, "V", "edit-paste", "Ctrl+V", true },
    { Cmd::Holdings, Cmd::Holdings, "M", "quotra-holdings", "", true },
    { Cmd::ProfitSum, Cmd::ProfitSum, "", "quotra-sum", "F4", true },
    { Cmd::Ranking, Cmd::Ranking, "", "quotra-ranking", "Ctrl+R", true },
    // View
    { Cmd::FitColumns, Cmd::FitColumns, "SZ", "quotra-fit-columns", "", true },
    { Cmd::ColumnDialog, Cmd::ColumnDialog, "R", "quotra-columns", "", true }, // 列 (retsu)
    { Cmd::ResetColumns, Cmd::ResetColumns, "", "quotra-reset-columns", "F9", true },
    { Cmd::StatusBar, Cmd::StatusBar, "ST", "", "", true },
    { Cmd::PriceHistory, Ids::CommandPriceHistory, "P", "quotra-history", "Ctrl+H", true },
    { Cmd::FontFace, Cmd::FontFace, "S1", "", "", true },
    { Cmd::FontSize, Cmd::FontSize, "S2", "", "", true },
    { Cmd::ThemeBlue, Cmd::ThemeBlue, "", "", "", true },
    { Cmd::ThemeBlack, Cmd::ThemeBlack, "", "", "", true },
    { Cmd::ThemeSilver, Cmd::ThemeSilver, "", "", "", true },
    { Cmd::ThemeAqua, Cmd::ThemeAqua, "", "", "", true },
    // Settings
    { Cmd::TextColour, Cmd::TextColour, "TC", "format-text-color", "", true },
    { Cmd::BackColour, Cmd::BackColour, "BC", "format-fill-color", "", true },
    { Cmd::ResetTextColour, Cmd::ResetTextColour, "", "", "", true },
    { Cmd::MoreTextColours, Cmd::MoreTextColours, "", "", "", true },
    { Cmd::ResetBackColour, Cmd::ResetBackColour, "", "", "", true },
    { Cmd::MoreBackColours, Cmd::MoreBackColours, "", "", "", true },
    { Cmd::ResetColours, Cmd::ResetColours, "", "quotra-reset-colours", "F11", true },
    { Cmd::UpdatePeriod, Cmd::UpdatePeriod, "TM", "quotra-timer", "", true },
    { Cmd::Schedule, Cmd::Schedule, "", "quotra-schedule", "F10", true },
    { Cmd::Customise, Cmd::Customise, "", "", "", true },
    // Help
    { Cmd::Help, Cmd::Help, "", "help-contents", "F1", true },
    { Cmd::About, Cmd::About, "", "help-about", "", true },
};

// The steps, narrowest last: the widest group, Code, drops its captions first, which keeps
// every control in view at the usual width; then the groups used least, Settings and View,
// fold; then File, whose commands the File menu and the quick-access bar also offer, drops
// its captions and folds. Code, the commands used most, never folds. The tips begin with
// "Z", which no command's tip does.
constexpr RibbonGroupDef kRibbonGroups[] = {
    { Ids::CaptionGroupFile, "ZF", "document-open", 4, 5 },
    { Ids::CaptionGroupCode, "ZC", "view-refresh", 1, 0 },
    { Ids::CaptionGroupView, "ZV", "quotra-columns", 0, 3 },
    { Ids::CaptionGroupSettings, "ZS", "quotra-timer", 0, 2 },
};

} // namespace

std::span<const RibbonGroupDef> RibbonGroupTable()
{
    return kRibbonGroups;
}

std::span<const CommandDef> CommandTable()
{
    return kCommands;
}

const CommandDef *FindCommand(int id)
{
    for (const CommandDef &def : kCommands) {
        if (def.id == id)
            return &def;
    }
    return nullptr;
}

QList<QKeySequence> DefaultShortcuts(const CommandDef &def)
{
    QList<QKeySequence> keys;
    const QString text = QString::fromLatin1(def.shortcut);
    if (text.isEmpty())
        return keys;
    for (const QString &part : text.split(QStringLiteral("; "), Qt::SkipEmptyParts))
        keys << QKeySequence::fromString(part, QKeySequence::PortableText);
    return keys;
}

QString CommandToolTip(int id, const QString &caption, const QList<QKeySequence> &keys)
{
    QString tip = id == Cmd::UpdateSelected ? tessera::ResourceString(Ids::TipUpdateCommand) : caption;
    if (!keys.isEmpty())
        tip += QStringLiteral(" (") + keys.front().toString(QKeySequence::NativeText) + u')';
    return tip;
}
