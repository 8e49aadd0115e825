#pragma once

#include "corelib/Result.h"

#include <QString>
#include <QStringList>

class QSettings;
class TaskStore;

// A task that starts the program through its "quotra.kabu:" address (the tasks of a
// sandboxed program) carries a token of its own: the piece "/Token" followed by 32 hex digits
// from the system's random source. The address with its token is kept in the settings beside
// the task's name. A link that is exactly such an address is that task's own run; any other
// link that asks for an unattended run needs the user's consent, since a web page can hand
// the desktop any address but cannot guess a token.

// 32 lower-case hex digits.
QString NewTaskToken();
// The piece an address carries the token in: "/Token" followed by the token.
QString TaskTokenPiece(const QString &token);
// The token of the address's first token piece, or empty when it has none.
QString TaskTokenOf(const QString &address);
// The address with `token` in its first piece, in place of any token piece it had.
QString WithTaskToken(const QString &address, const QString &token);

// The addresses of the program's registered tasks in the settings store.
class TaskAddressBook {
public:
    explicit TaskAddressBook(QSettings &store);

    // True when `address` carries a well-formed token and is exactly the address kept with it.
    bool isRegistered(const QString &address) const;
    // Keeps `address` as the task `name`'s, in place of the one the name had. An address
    // without a token keeps nothing (an ordinary program's task needs none).
    void remember(const QString &name, const QString &address);
    // Keeps `address` for `name` beside any other the name has (a crontab may hold two
    // tasks of one name).
    void keep(const QString &name, const QString &address);
    void forget(const QString &name);
    // Forgets every kept address that is not one of `addresses`.
    void keepOnly(const QStringList &addresses);
    // Every kept address.
    QStringList addresses() const;

private:
    QSettings &m_store;
};

// Gives every task of the crontab that starts the program through an address without a
// registered token (a task written before tokens were kept) a new token: the token piece goes
// into its address, its line is installed, and the address is kept in `book`. Kept addresses
// of tasks no longer in the crontab are forgotten. Returns how many tasks were rewritten; an
// unreadable crontab changes nothing.
tessera::Result<int> AddTokensToTasks(const TaskStore &store, TaskAddressBook &book);
