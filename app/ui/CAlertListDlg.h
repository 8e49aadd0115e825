#pragma once

#include "history/AlertRules.h"
#include "view/widgets/Prompts.h"

#include <QDialog>

#include <functional>
#include <vector>

class AlertBook;
namespace tessera {
struct Error;
}
class QPushButton;
class QTreeWidget;

// Every price alert, one line per code: its name where a list knows it, its conditions and
// its last firing, with commands to delete a code's alert or switch it off and on. Changes go
// into the book at once.
class CAlertListDlg : public QDialog {
    Q_OBJECT
public:
    using NameOf = std::function<QString(const QString &code)>;

    // A book's refusal is told through `prompts`.
    CAlertListDlg(
        AlertBook &book, NameOf nameOf, QWidget *parent = nullptr, Prompts &prompts = DesktopPrompts());

    QTreeWidget *list() const { return m_list; }
    // Deletes the selected codes' alerts; switches the selected ones off, or on when all of
    // them are off. False when the book refused (the message was shown).
    bool deleteSelected();
    bool switchSelected();

Q_SIGNALS:
    // The alerts changed: the window redraws its marks.
    void alertsChanged();

private:
    void reload();
    QStringList selectedCodes() const;
    void reportFailure(const tessera::Error &error);

    AlertBook &m_book;
    Prompts &m_prompts;
    NameOf m_nameOf;
    std::vector<Alert> m_alerts;
    QTreeWidget *m_list = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_switch = nullptr;
};

// The conditions of an alert in words, "現在値 2,500 以上、前日比 +5% 以上"; the ones switched
// off in parentheses.
QString AlertConditionsText(const Alert &alert);
