#include "view/widgets/HeaderMenu.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "view/table/ColumnTable.h"
#include "view/widgets/CQuotraView.h"

#include <QMenu>

#include <utility>

QMenu *BuildHeaderMenu(CQuotraView &view, int column, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("HeaderMenu"));
    ListTableModel &model = view.listModel();
    const HeaderModel &h = model.table().header();
    if (column > 0) {
        QAction *up = menu->addAction(tessera::ResourceString(Ids::CaptionSortAscending));
        QAction *down = menu->addAction(tessera::ResourceString(Ids::CaptionSortDescending));
        up->setCheckable(true);
        down->setCheckable(true);
        if (column == h.sortColumn()) {
            up->setChecked(h.ascending());
            down->setChecked(!h.ascending());
        }
        QObject::connect(
            up, &QAction::triggered, &view, [&view, column] { view.setSort(column, true, false); });
        QObject::connect(
            down, &QAction::triggered, &view, [&view, column] { view.setSort(column, false, false); });
        menu->addSeparator();
        const int align = h.column(column).align;
        const std::pair<int, int> aligns[] = { { Ids::CaptionAlignLeft, AlignLeft },
            { Ids::CaptionAlignCenter, AlignCenter }, { Ids::CaptionAlignRight, AlignRight } };
        for (const auto &[text, value] : aligns) {
            QAction *a = menu->addAction(tessera::ResourceString(text));
            a->setCheckable(true);
            a->setChecked(align == value);
            QObject::connect(a, &QAction::triggered, &view,
                [&model, column, v = value] { model.setColumnAlignment(column, v); });
        }
        menu->addSeparator();
    }
    QMenu *columns = menu->addMenu(tessera::ResourceString(Ids::CaptionShowColumns));
    columns->setObjectName(QStringLiteral("ColumnsMenu"));
    for (const HeaderModel::MenuItem &item : h.columnMenuItems()) {
        QAction *a = columns->addAction(ColumnCaption(item.field));
        a->setCheckable(true);
        a->setChecked(item.checked);
        a->setData(1000 + item.field);
        QObject::connect(a, &QAction::triggered, &view, [&view, f = item.field] { view.toggleField(f); });
    }
    return menu;
}
