#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The message by which another process hands codes to a running window, shared by the
// window's listener and `quotra-cli send`.
//
// Every window listens on a local socket of its own, "quotra-<pid>" in the folder
// "<runtime folder>/quotra" that only the user can enter. A request is a 32-bit
// little-endian byte count followed by that many bytes of UTF-16 (little-endian) text; the
// window answers with one byte, kReplyHandled or kReplyNotHandled, and closes.
namespace CopyData {

inline constexpr qsizetype kMaxPayloadBytes = 1048576;
inline constexpr qsizetype kHeaderBytes = 4;
inline constexpr char kReplyNotHandled = 0;
inline constexpr char kReplyHandled = 1;
inline constexpr QStringView kPrefix = u"StockCode:";

// The text of a payload: UTF-16 up to the first zero character, or all of it when there is
// none (an odd last byte is dropped).
QString PayloadText(QByteArrayView payload);
// What the window adds from one payload: the text after the prefix, or nothing when the
// message is not handled (0 bytes, more than kMaxPayloadBytes, no exact prefix).
std::optional<QString> CodesOfPayload(QByteArrayView payload);

// The valid codes of the text after the prefix, one candidate per line, in text order; empty
// when the message is not handled or names no valid code, which the window answers as not
// handled.
QStringList ValidCodesOfPayload(QByteArrayView payload);

// A declared payload size the listener accepts to read.
bool AcceptsPayloadSize(qint64 bytes);
// The request that sends `payload` (the header and the bytes).
QByteArray EncodeRequest(QByteArrayView payload);
// `text` as the UTF-16 bytes of a payload, without a terminating zero.
QByteArray EncodeText(QStringView text);
// The size a header declares; -1 when fewer than kHeaderBytes bytes are given.
qint64 DecodeHeader(QByteArrayView header);

// The folder of the sockets, created (mode 0700) when missing. Empty when there is no
// usable runtime folder, or when the folder is not a real directory of this user's that
// nobody else can enter: a listener then does not listen and a sender reaches nobody.
QString SocketFolder();
// The socket name of the window of process `pid` in `folder`.
QString SocketPath(const QString &folder, qint64 pid);
// The process id in a socket's file name; -1 for any other name.
qint64 PidOfSocketName(QStringView fileName);
// Whether process `pid` still runs (as this user).
bool ProcessIsRunning(qint64 pid);

struct SocketEntry {
    qint64 pid = 0;
    QString path;
};
// The sockets of running windows in `folder`, the most recently started first. Sockets of
// ended processes are removed on the way; entries that are not sockets (a link, a plain
// file) are skipped and left alone.
QList<SocketEntry> RunningWindowSockets(const QString &folder);

} // namespace CopyData
