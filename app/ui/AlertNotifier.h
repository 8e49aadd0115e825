#pragma once

#include "history/AlertRules.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QDBusPendingCallWatcher;

// What a desktop notification of fired alerts says, and which row a click selects.
struct AlertNotice {
    QString summary;
    QString body;
    QString code; // the row to select
};

// The notices of one run's firings: one per firing, or one for all of them with their count
// when more than kAlertNoticesApart fire at once. `nameOf` gives a code's name where known.
std::vector<AlertNotice> AlertNotices(
    const std::vector<AlertFiring> &firings, const std::function<QString(const QString &code)> &nameOf);
inline constexpr int kAlertNoticesApart = 3;

// One firing in words: "7203 トヨタ: 現在値 2,500 以上 (2,512)".
QString AlertFiringText(const AlertFiring &firing, const QString &name);

// Shows notices through the desktop's notification service (org.freedesktop.Notifications on
// the session bus). A click on one ("default" action) emits activated() with its code.
class AlertNotifier : public QObject {
    Q_OBJECT
public:
    explicit AlertNotifier(QObject *parent = nullptr);

    // Whether a notification service is on the session bus now.
    bool available() const;
    // Sends the notices; false when there is no service (the caller says it elsewhere).
    bool show(const std::vector<AlertNotice> &notices);

Q_SIGNALS:
    void activated(const QString &code);

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &action);
    void onNotificationClosed(uint id, uint reason);

private:
    QHash<uint, QString> m_codes; // notification id -> code
    bool m_connected = false;
};
