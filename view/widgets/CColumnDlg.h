#pragma once

#include "document/ColumnLayout.h"
#include "view/table/ColumnChoice.h"
#include "view/widgets/Prompts.h"

#include <QDialog>

class CQuotraView;
class Prompts;
class QAction;
class QListWidget;
class QListWidgetItem;
class QToolBar;

// The column dialog: every field in one check list, the shown ones first in display order.
// Move up and move down (Alt+Up, Alt+Down) shift runs of selected items; checking a selected
// item checks every selected one. OK rebuilds the dialog's layout from the list; with Shift
// held it saves the layout to a ".colm" file instead and stays open. A ".colm" file dropped
// on the dialog is loaded after asking. Whether Shift is held, the file name and every message
// go through the prompts it was given.
class CColumnDlg : public QDialog {
    Q_OBJECT
public:
    // `layout` is the dialog layout: read on opening, replaced on OK.
    explicit CColumnDlg(ColumnLayout &layout, QWidget *parent = nullptr, Prompts &prompts = DesktopPrompts());

    QListWidget *list() const { return m_list; }
    QAction *moveUpAction() const { return m_up; }
    QAction *moveDownAction() const { return m_down; }
    // The items as the list holds them now.
    ColumnChoice choice() const;

    void accept() override;
    void moveSelection(bool up);
    // The drop's work: asks 2032, then loads `path` into the list; false when refused.
    bool loadLayoutFile(const QString &path);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void fill(const ColumnChoice &items);
    void onItemChanged(QListWidgetItem *item);
    void applyListColours();
    QString askSavePath();
    int showMessage(int id, unsigned style);

    ColumnLayout &m_layout;
    Prompts &m_prompts;
    QListWidget *m_list;
    QToolBar *m_toolBar;
    QAction *m_up;
    QAction *m_down;
    bool m_propagating = false;
};

// 5019: the dialog on the view's layout, run through `prompts`; on OK the view applies the
// result.
bool RunColumnDialog(CQuotraView &view, QWidget *parent, Prompts &prompts = DesktopPrompts());
