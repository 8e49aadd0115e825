#include "app/ui/FrameActions.h"

#include "app/ui/CommandIcons.h"
#include "app/ui/CommandTable.h"
#include "app/ui/ControlIds.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "view/table/ColumnTable.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include <initializer_list>

CommandActions CreateCommandActions(QWidget &owner)
{
    CommandActions actions;
    for (const CommandDef &def : CommandTable()) {
        auto *a = new QAction(tessera::ResourceString(def.captionId), &owner);
        a->setObjectName(QStringLiteral("Command%1").arg(def.id));
        a->setData(def.id);
        a->setIcon(CommandIcon(def.icon));
        const QList<QKeySequence> keys = DefaultShortcuts(def);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        a->setToolTip(CommandToolTip(def.id, a->text(), keys));
        a->setEnabled(def.available);
        owner.addAction(a);
        actions.insert(def.id, a);
    }
    actions.value(Cmd::StatusBar)->setCheckable(true);
    actions.value(Cmd::StatusBar)->setChecked(true);

    for (int field = 1; field < kColumnCount; ++field) {
        auto *a = new QAction(ColumnCaption(field), &owner);
        a->setObjectName(QStringLiteral("Command%1").arg(Cmd::FieldBase + field));
        a->setData(Cmd::FieldBase + field);
        a->setCheckable(true);
        actions.insert(Cmd::FieldBase + field, a);
    }
    return actions;
}

FrameMenus CreateFrameMenus(const CommandActions &actions, QWidget &owner)
{
    const auto add = [&actions](QMenu *menu, std::initializer_list<int> ids) {
        for (const int id : ids)
            menu->addAction(actions.value(id));
    };
    FrameMenus menus;
    menus.file = new QMenu(&owner);
    menus.file->setObjectName(QStringLiteral("FileMenu130"));
    SetControlId(menus.file, 130);
    add(menus.file, { Cmd::New, Cmd::Open, Cmd::Save, Cmd::SaveAs, Cmd::OpenDefaultList, Cmd::CompareLists });
    menus.file->addSeparator();
    menus.file->addSeparator();
    add(menus.file, { Cmd::Exit });

    // The first sub-menu of menu 133.
    menus.rows = new QMenu(&owner);
    menus.rows->setObjectName(QStringLiteral("ContextMenu133"));
    SetControlId(menus.rows, 133);
    menus.rows->setTitle(tessera::ResourceString(Ids::CaptionContextMenu));
    add(menus.rows,
        { Cmd::UpdateSelected, Cmd::OpenWebPage, Cmd::Chart, Cmd::PriceHistory, Cmd::Alert, Cmd::AlertList });
    menus.rows->addSeparator();
    add(menus.rows, { Cmd::Copy, Cmd::Paste, Cmd::Delete, Cmd::SelectAll });
    menus.rows->addSeparator();
    add(menus.rows, { Cmd::Find, Cmd::Holdings, Cmd::ProfitSum, Cmd::Workbook, Cmd::CompareLists });
    menus.rows->addSeparator();
    add(menus.rows, { Cmd::FitColumns, Cmd::ColumnDialog, Cmd::ResetColumns });

    menus.help = new QMenu(&owner);
    menus.help->setObjectName(QStringLiteral("HelpMenu134"));
    SetControlId(menus.help, 134);
    add(menus.help, { Cmd::Help, Cmd::Customise });
    menus.help->addSeparator();
    add(menus.help, { Cmd::About });
    return menus;
}
