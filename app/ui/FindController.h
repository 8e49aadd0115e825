#pragma once

#include "corelib/CJre.h"
#include "view/table/RowFind.h"
#include "view/widgets/Prompts.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include "app/ui/CFindDlg.h"
class CQuotraView;
class QWidget;
struct AppSettings;

// The window's find: the matcher bound at start-up, the find dialog while it is open, the
// last find text and direction, and find in list over the view's displayed texts.
class FindController : public QObject {
    Q_OBJECT
public:
    // Its messages go through `prompts`.
    FindController(
        AppSettings &settings, CQuotraView &view, QWidget *window, Prompts &prompts = DesktopPrompts());

    // The Find command: focuses an open dialog, else opens one with the initial text.
    void find();
    // Find next (F3) and, with `up`, find previous (Shift+F3): acts as Find while no text
    // was searched yet; shows 2016 when nothing is found.
    void findNext(bool up = false);
    // Searches from after the selection in the direction; selects and shows the found row,
    // and moves an open find dialog off it.
    // The window keeps painting and Escape stops the search; a search over more than
    // kFindProgressRows rows shows its progress. Nothing is shown for the way it ended.
    FindEnd findInList(bool down);

    static constexpr int kFindProgressRows = 5000;
    static constexpr int kFindEventsIntervalMs = 40;

    CFindDlg *dialog() const { return m_dialog; }
    const QString &lastText() const { return m_lastText; }
    bool lastDown() const { return m_lastDown; }
    tessera::CJre &matcher() { return m_jre; }

private:
    void onDialogFindNext(bool down);
    void moveDialogOffRow(int row);
    // The message for a search that found nothing (2016) or that the engine's limits ended.
    void report(FindEnd end);
    QString initialText() const;

    AppSettings &m_settings;
    CQuotraView &m_view;
    QWidget *m_window;
    Prompts &m_prompts;
    tessera::CJre m_jre;
    QPointer<CFindDlg> m_dialog;
    QString m_lastText;
    bool m_lastDown = true;
};
