#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QUrl;
class QWidget;

// A file dialog as a command asks it: where it opens, what it offers and proposes.
struct FileQuestion {
    QString caption;
    QString folder; // where the dialog opens
    QStringList filters; // Qt name filters, "Lists (*.kabu)"
    QString suggested; // the file name proposed by a save
    QString suffix; // added to a saved name typed without one
};

// Everything the program asks the person at the desktop, and the few things it asks the
// desktop itself. The window, its commands and the dialogs that ask hold one of these
// instead of calling the dialogs directly, so that tests answer in their place.
class Prompts {
public:
    virtual ~Prompts() = default;

    // The chosen file; empty when the dialog was cancelled.
    virtual QString openFile(QWidget *parent, const FileQuestion &question) = 0;
    virtual QStringList openFiles(QWidget *parent, const FileQuestion &question) = 0;
    virtual QString saveFile(QWidget *parent, const FileQuestion &question) = 0;
    // The chosen colour; nothing when cancelled.
    virtual std::optional<QColor> colour(QWidget *parent, const QColor &initial, const QString &caption) = 0;
    // A message or question in the program's box: `style` and the result are tessera's
    // MessageStyle and MessageResult.
    virtual int message(const QString &text, unsigned style) = 0;
    // Runs a modal dialog; its QDialog::DialogCode.
    virtual int exec(QDialog &dialog) = 0;
    // Opens an address in the desktop's program for it.
    virtual bool openUrl(const QUrl &address) = 0;
    // Whether Shift is held now (commands that change meaning with Shift).
    virtual bool shiftHeld() = 0;
};

// The desktop's own dialogs, boxes and services; one instance for the process.
Prompts &DesktopPrompts();
