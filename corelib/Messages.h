#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tessera {

// Message-box styles and results, numbered as the program's message texts expect them.
enum MessageStyle : unsigned {
    MbOk = 0x0,
    MbOkCancel = 0x1,
    MbYesNoCancel = 0x3,
    MbYesNo = 0x4,
    MbIconError = 0x10,
    MbIconQuestion = 0x20,
    MbIconWarning = 0x30,
    MbIconInformation = 0x40,
    MbDefButton2 = 0x100,
};
enum MessageResult : int { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };

// The one path every user message takes. The window installs a handler that shows a box
// titled "Quotra"; without one (headless, unattended, tests) the text goes to standard
// error and the default answer is returned, so nothing ever waits for a click.
using MessageHandler = std::function<int(const QString &text, unsigned style)>;
void SetMessageHandler(MessageHandler handler);
int ShowMessage(const QString &text, unsigned style = MbOk);

// The default answer of a box nobody can click: OK, or Yes/No by the default-button flag.
int DefaultMessageResult(unsigned style);

// Numbered texts of the language resource module (menus, captions 1001-1039, messages).
// An id the module lacks yields an empty string.
QString ResourceString(int id);
// `text` with each %1, %2, ... replaced by that argument, in one pass: an inserted argument is
// never searched again, so a path or a user text holding "%1" stays as it is. A marker
// without its argument (%0, or %3 with two arguments) is kept.
QString SubstituteArguments(QStringView text, const QStringList &args);
// The text of `id` with its markers replaced by `args` (SubstituteArguments).
QString FormatResourceString(int id, const QStringList &args = {});
// Shows the numbered message through the message hook.
int ShowResourceMessage(int id, const QStringList &args = {}, unsigned style = MbOk);

// A numbered message and its arguments, as code that shows nothing itself (the document)
// returns it to the caller that shows it. Id 0: nothing to tell.
struct NumberedMessage {
    int id = 0;
    QStringList args;

    bool isEmpty() const { return id == 0; }
};
// Shows `message` unless it is empty (then returns the style's default answer).
int ShowResourceMessage(const NumberedMessage &message, unsigned style = MbOk);

} // namespace tessera
