#include "app/ui/FrameRibbon.h"

#include "app/core/AppSettings.h"
#include "app/ui/AppearanceController.h"
#include "app/ui/CommandIcons.h"
#include "app/ui/CommandTable.h"
#include "app/ui/ControlIds.h"
#include "app/ui/FontBoxes.h"
#include "app/ui/PeriodSpinBox.h"
#include "app/ui/RibbonBar.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

constexpr int kCodeBoxWidth = 90;
constexpr int kPeriodBoxWidth = 80;
constexpr int kFontFaceWidth = 130;
constexpr int kFontSizeWidth = 45;

QString tipOf(int id)
{
    return QString::fromLatin1(FindCommand(id)->keyTip);
}

class Builder {
public:
    Builder(RibbonBar &bar, const CommandActions &actions)
        : m_bar(bar)
        , m_actions(actions)
    { }

    QToolButton *small(int id, bool startsGroup = false)
    {
        return m_bar.addSmallButton(m_actions.value(id), tipOf(id), startsGroup);
    }
    void widget(QWidget *w, int id, const QString &caption = {}, bool startsGroup = false)
    {
        SetControlId(w, id);
        m_bar.addSmallWidget(w, caption, tipOf(id), startsGroup, m_actions.value(id));
    }
    void group(int captionId)
    {
        for (const RibbonGroupDef &def : RibbonGroupTable()) {
            if (def.captionId == captionId)
                m_bar.beginGroup(tessera::ResourceString(captionId), CommandIcon(def.icon),
                    QString::fromLatin1(def.keyTip), def.captionsStep, def.foldStep);
        }
    }

private:
    RibbonBar &m_bar;
    const CommandActions &m_actions;
};

void describe(QWidget *w, int id, int width)
{
    w->setFixedWidth(width);
    w->setAccessibleName(tessera::ResourceString(id));
    w->setToolTip(tessera::ResourceString(id));
}

} // namespace

FrameRibbon BuildFrameRibbon(QWidget &owner, const CommandActions &actions, const FrameMenus &menus,
    AppearanceController &appearance, int periodMinutes)
{
    FrameRibbon made;
    auto *ribbon = new RibbonBar(&owner);
    made.bar = ribbon;
    ribbon->setSystemMenu(tessera::ResourceString(Ids::CaptionFileButton), menus.file, QStringLiteral("F"));
    ribbon->setTabCaption(tessera::ResourceString(Ids::CaptionHomeTab), QStringLiteral("H"));
    for (const int id : { Cmd::New, Cmd::Open, Cmd::Save, Cmd::UpdateSelected })
        ribbon->addQuickAccess(actions.value(id));
    ribbon->addTabRowMenu(
        tessera::ResourceString(Ids::CaptionStyleMenu), appearance.themeMenu(), QStringLiteral("T"));
    ribbon->addTabRowMenu(tessera::ResourceString(Ids::CaptionHelpMenu), menus.help, QStringLiteral("L"));
    // The history pane beside the help: a band of the window rather than a command on the
    // rows, and no group widens for it.
    ribbon->addTabRowAction(actions.value(Cmd::PriceHistory), QStringLiteral("P"));
    ribbon->addTabRowAction(actions.value(Cmd::About));
    Builder build(*ribbon, actions);

    build.group(Ids::CaptionGroupFile);
    ribbon->addLargeButton(actions.value(Cmd::Open), tipOf(Cmd::Open));
    build.small(Cmd::New);
    build.small(Cmd::Save, true);
    build.small(Cmd::SaveAs);
    ribbon->endGroup();

    build.group(Ids::CaptionGroupCode);
    for (const int id : { Cmd::UpdateSelected, Cmd::OpenWebPage, Cmd::Find, Cmd::Workbook, Cmd::Chart })
        build.small(id);
    build.small(Cmd::Delete, true);
    build.small(Cmd::Copy);
    made.codeBox = new QLineEdit;
    made.codeBox->setObjectName(QStringLiteral("CodeBox32776"));
    made.codeBox->setFixedWidth(kCodeBoxWidth);
    made.codeBox->setAccessibleName(tessera::ResourceString(Cmd::CodeBox));
    made.codeBox->setToolTip(actions.value(Cmd::CodeBox)->toolTip());
    made.codeBox->setInputMethodHints(Qt::ImhPreferUppercase | Qt::ImhNoPredictiveText | Qt::ImhLatinOnly);
    made.codeBox->setPlaceholderText(tessera::ResourceString(Cmd::CodeBox));
    build.widget(made.codeBox, Cmd::CodeBox);
    for (const int id : { Cmd::SelectAll, Cmd::Paste, Cmd::Holdings })
        build.small(id);
    ribbon->endGroup();

    build.group(Ids::CaptionGroupView);
    build.small(Cmd::FitColumns);
    build.small(Cmd::ColumnDialog);
    QAction *statusCommand = actions.value(Cmd::StatusBar);
    made.statusCheck = new QCheckBox(tessera::ResourceString(Cmd::StatusBar));
    made.statusCheck->setObjectName(QStringLiteral("StatusBarCheck59393"));
    made.statusCheck->setChecked(true);
    made.statusCheck->setFocusPolicy(Qt::NoFocus);
    QObject::connect(made.statusCheck, &QCheckBox::toggled, statusCommand, &QAction::setChecked);
    QObject::connect(statusCommand, &QAction::toggled, made.statusCheck, &QCheckBox::setChecked);
    build.widget(made.statusCheck, Cmd::StatusBar);
    made.statusCheck->setAccessibleName(tessera::ResourceString(Cmd::StatusBar));
    QComboBox *fontFace = appearance.fontFaceBox();
    describe(fontFace, Cmd::FontFace, kFontFaceWidth);
    build.widget(fontFace, Cmd::FontFace, {}, true);
    QComboBox *fontSize = appearance.fontSizeBox();
    describe(fontSize, Cmd::FontSize, kFontSizeWidth + 16);
    build.widget(fontSize, Cmd::FontSize);
    ribbon->endGroup();

    build.group(Ids::CaptionGroupSettings);
    appearance.attachColourButton(build.small(Cmd::TextColour), false);
    appearance.attachColourButton(build.small(Cmd::BackColour), true);
    made.periodBox = new PeriodSpinBox(AppSettings::kMinUpdateMinutes, AppSettings::kMaxUpdateMinutes);
    made.periodBox->setObjectName(QStringLiteral("UpdatePeriod32773"));
    made.periodBox->setWrapping(false);
    describe(made.periodBox, Cmd::UpdatePeriod, kPeriodBoxWidth);
    made.periodBox->setValue(periodMinutes);
    made.periodBox->setKeyboardTracking(false);
    build.widget(made.periodBox, Cmd::UpdatePeriod, tessera::ResourceString(Cmd::UpdatePeriod));
    ribbon->endGroup();
    return made;
}
