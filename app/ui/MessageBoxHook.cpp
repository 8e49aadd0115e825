#include "app/ui/MessageBoxHook.h"

#include "corelib/Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

using namespace tessera;

namespace {

bool isUsable(QWidget *w)
{
    return w && !w->isMinimized();
}

// The active window unless minimised; else the window of the running modal dialog.
QWidget *messageOwner()
{
    if (QWidget *active = QApplication::activeWindow(); isUsable(active))
        return active;
    if (QWidget *modal = QApplication::activeModalWidget(); isUsable(modal))
        return modal;
    return nullptr;
}

} // namespace

int ShowMessageBox(const QString &text, unsigned style)
{
    QMessageBox box(messageOwner());
    box.setWindowTitle(QStringLiteral("Quotra"));
    box.setText(text);
    switch (style & 0xF0) {
    case MbIconError:
        box.setIcon(QMessageBox::Critical);
        break;
    case MbIconQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case MbIconWarning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MbIconInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    QList<QMessageBox::StandardButton> buttons;
    switch (style & 0xF) {
    case MbOkCancel:
        buttons = { QMessageBox::Ok, QMessageBox::Cancel };
        break;
    case MbYesNoCancel:
        buttons = { QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel };
        break;
    case MbYesNo:
        buttons = { QMessageBox::Yes, QMessageBox::No };
        break;
    default:
        buttons = { QMessageBox::Ok };
        break;
    }
    for (QMessageBox::StandardButton b : buttons)
        box.addButton(b);
    box.setDefaultButton(buttons.value((style & MbDefButton2) ? 1 : 0, buttons.front()));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return IdYes;
    case QMessageBox::No:
        return IdNo;
    case QMessageBox::Cancel:
        return IdCancel;
    case QMessageBox::Ok:
        return IdOk;
    default:
        // Closed without a button: the box's escape answer.
        return (style & 0xF) == MbYesNo ? IdNo : ((style & 0xF) == MbOk ? IdOk : IdCancel);
    }
}

bool InstallMessageBoxHook(bool unattended)
{
    const QString platform = QGuiApplication::platformName();
    if (unattended || platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;
    SetMessageHandler(ShowMessageBox);
    return true;
}
