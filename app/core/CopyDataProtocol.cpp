#include "app/core/CopyDataProtocol.h"

#include "document/ValidCode.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>

#include <algorithm>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace CopyData {

namespace {

constexpr QLatin1StringView kFolderName("quotra");
constexpr QLatin1StringView kSocketPrefix("quotra-");

// lstat, so that a link is seen as the link and never followed.
bool linkStatus(const QString &path, struct stat &st)
{
    const QByteArray native = QFile::encodeName(path);
    return ::lstat(native.constData(), &st) == 0;
}

} // namespace

QString PayloadText(QByteArrayView payload)
{
    const qsizetype units = payload.size() / 2;
    QString text;
    text.reserve(units);
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t unit = qFromLittleEndian<quint16>(payload.data() + 2 * i);
        if (unit == 0)
            break;
        text += QChar(unit);
    }
    return text;
}

std::optional<QString> CodesOfPayload(QByteArrayView payload)
{
    if (!AcceptsPayloadSize(payload.size()))
        return std::nullopt;
    const QString text = PayloadText(payload);
    if (!text.startsWith(kPrefix, Qt::CaseSensitive))
        return std::nullopt;
    return text.mid(kPrefix.size());
}

QStringList ValidCodesOfPayload(QByteArrayView payload)
{
    const std::optional<QString> text = CodesOfPayload(payload);
    return text ? ValidCodesInText(*text) : QStringList();
}

bool AcceptsPayloadSize(qint64 bytes)
{
    return bytes >= 1 && bytes <= kMaxPayloadBytes;
}

QByteArray EncodeRequest(QByteArrayView payload)
{
    QByteArray request(kHeaderBytes, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(payload.size()), request.data());
    request.append(payload.data(), payload.size());
    return request;
}

QByteArray EncodeText(QStringView text)
{
    QByteArray bytes(text.size() * 2, '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian<quint16>(text[i].unicode(), bytes.data() + 2 * i);
    return bytes;
}

qint64 DecodeHeader(QByteArrayView header)
{
    if (header.size() < kHeaderBytes)
        return -1;
    return qFromLittleEndian<quint32>(header.data());
}

QString SocketFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return {};
    QString folder = QDir(runtime).filePath(kFolderName);
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st { };
    if (!linkStatus(folder, st) || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()
        || (st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return {};
    return folder;
}

QString SocketPath(const QString &folder, qint64 pid)
{
    return QDir(folder).filePath(kSocketPrefix + QString::number(pid));
}

qint64 PidOfSocketName(QStringView fileName)
{
    if (!fileName.startsWith(kSocketPrefix))
        return -1;
    const QStringView digits = fileName.mid(kSocketPrefix.size());
    if (digits.isEmpty() || digits.size() > 10
        || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return -1;
    if (digits.size() > 1 && digits.front() == u'0')
        return -1;
    bool ok = false;
    const qint64 pid = digits.toLongLong(&ok);
    return ok && pid > 0 && pid <= 0x7fffffff ? pid : -1;
}

bool ProcessIsRunning(qint64 pid)
{
    if (pid <= 0 || pid > 0x7fffffff)
        return false;
    // EPERM: a process of another user took the number over; it is no window of ours.
    return ::kill(static_cast<pid_t>(pid), 0) == 0;
}

QList<SocketEntry> RunningWindowSockets(const QString &folder)
{
    struct Found {
        SocketEntry entry;
        qint64 started;
    };
    QList<Found> found;
    if (folder.isEmpty())
        return {};
    const QStringList names = QDir(folder).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const qint64 pid = PidOfSocketName(name);
        if (pid < 0)
            continue;
        const QString path = QDir(folder).filePath(name);
        struct stat st { };
        if (!linkStatus(path, st) || !S_ISSOCK(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        if (!ProcessIsRunning(pid)) {
            QFile::remove(path);
            continue;
        }
        const qint64 started = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
        found.push_back({ { pid, path }, started });
    }
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        return a.started != b.started ? a.started > b.started : a.entry.pid > b.entry.pid;
    });
    QList<SocketEntry> entries;
    for (const Found &f : found)
        entries << f.entry;
    return entries;
}

} // namespace CopyData
