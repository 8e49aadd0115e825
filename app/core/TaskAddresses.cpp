#include "app/core/TaskAddresses.h"

#include "app/core/CCLineInfo.h"
#include "app/core/TaskStore.h"

#include <QRandomGenerator>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

const QString kGroup = u"4.00/TaskAddresses"_s;
constexpr QStringView kTokenWord = u"/Token";
constexpr qsizetype kTokenDigits = 32;

bool isWellFormedToken(QStringView token)
{
    if (token.size() != kTokenDigits)
        return false;
    for (QChar c : token) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

bool isTokenPiece(QStringView piece)
{
    return piece.startsWith(kTokenWord);
}

QString payloadOf(const QString &address)
{
    return address.mid(QLatin1String(CCLineInfo::kProtocolPrefix).size());
}

} // namespace

QString NewTaskToken()
{
    QString token;
    token.reserve(kTokenDigits);
    QRandomGenerator *random = QRandomGenerator::system();
    for (int i = 0; i < kTokenDigits / 8; ++i)
        token += u"%1"_s.arg(random->generate(), 8, 16, QLatin1Char('0'));
    return token;
}

QString TaskTokenPiece(const QString &token)
{
    return kTokenWord + token;
}

QString TaskTokenOf(const QString &address)
{
    if (!address.startsWith(QLatin1String(CCLineInfo::kProtocolPrefix)))
        return {};
    const QString payload = payloadOf(address);
    for (QStringView piece : QStringView(payload).split(u'*')) {
        if (isTokenPiece(piece))
            return piece.mid(kTokenWord.size()).toString();
    }
    return {};
}

QString WithTaskToken(const QString &address, const QString &token)
{
    QStringList pieces { TaskTokenPiece(token) };
    for (const QString &piece : payloadOf(address).split(u'*')) {
        if (!isTokenPiece(piece))
            pieces << piece;
    }
    return QLatin1String(CCLineInfo::kProtocolPrefix) + pieces.join(u'*');
}

TaskAddressBook::TaskAddressBook(QSettings &store)
    : m_store(store)
{ }

bool TaskAddressBook::isRegistered(const QString &address) const
{
    const QString token = TaskTokenOf(address);
    if (!isWellFormedToken(token))
        return false;
    return m_store.value(kGroup + u'/' + token + u"/Address"_s).toString() == address;
}

void TaskAddressBook::remember(const QString &name, const QString &address)
{
    forget(name);
    keep(name, address);
}

void TaskAddressBook::keep(const QString &name, const QString &address)
{
    // Each kept address is a group named by its token.
    const QString token = TaskTokenOf(address);
    if (!isWellFormedToken(token))
        return;
    m_store.setValue(kGroup + u'/' + token + u"/Name"_s, name);
    m_store.setValue(kGroup + u'/' + token + u"/Address"_s, address);
}

void TaskAddressBook::forget(const QString &name)
{
    m_store.beginGroup(kGroup);
    const QStringList tokens = m_store.childGroups();
    for (const QString &token : tokens) {
        if (m_store.value(token + u"/Name"_s).toString() == name)
            m_store.remove(token);
    }
    m_store.endGroup();
}

void TaskAddressBook::keepOnly(const QStringList &addresses)
{
    m_store.beginGroup(kGroup);
    const QStringList tokens = m_store.childGroups();
    for (const QString &token : tokens) {
        if (!addresses.contains(m_store.value(token + u"/Address"_s).toString()))
            m_store.remove(token);
    }
    m_store.endGroup();
}

QStringList TaskAddressBook::addresses() const
{
    QStringList out;
    m_store.beginGroup(kGroup);
    const QStringList tokens = m_store.childGroups();
    for (const QString &token : tokens)
        out << m_store.value(token + u"/Address"_s).toString();
    m_store.endGroup();
    return out;
}

tessera::Result<int> AddTokensToTasks(const TaskStore &store, TaskAddressBook &book)
{
    tessera::Result<CronTable> table = store.read();
    if (!table)
        return table.error();
    struct Added {
        QString name;
        QString address;
    };
    QList<Added> added;
    QStringList live;
    const int rewritten
        = table->rewriteCommands([&](const ScheduledTask &task) -> std::optional<QStringList> {
              const QString address = ProtocolAddressOf(task.command);
              if (address.isEmpty())
                  return std::nullopt;
              if (book.isRegistered(address)) {
                  live << address;
                  return std::nullopt;
              }
              const QString tokened = WithTaskToken(address, NewTaskToken());
              added.append({ task.name, tokened });
              live << tokened;
              return QStringList { task.command.first(), tokened };
          });
    if (rewritten > 0) {
        const tessera::Status written = store.write(*table);
        if (!written)
            return written.error();
    }
    for (const Added &a : std::as_const(added))
        book.keep(a.name, a.address);
    book.keepOnly(live);
    return rewritten;
}
