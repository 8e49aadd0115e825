#pragma once

#include "view/widgets/Prompts.h"

#include <QDialog>
#include <QUrl>

#include <functional>

// Prompts that answer as a test tells them and record what they were asked. An answer left
// unset cancels (files, colour), says the default's no (message: IdCancel) or rejects the
// dialog; openUrl succeeds without opening anything unless onOpenUrl says otherwise.
struct FakePrompts final : Prompts {
    std::function<QString(const FileQuestion &)> onOpenFile;
    std::function<QStringList(const FileQuestion &)> onOpenFiles;
    std::function<QString(const FileQuestion &)> onSaveFile;
    std::function<std::optional<QColor>(const QColor &)> onColour;
    std::function<int(const QString &text, unsigned style)> onMessage;
    std::function<int(QDialog &)> onExec;
    std::function<bool(const QUrl &)> onOpenUrl; // unset: the address opens
    bool shift = false;

    QStringList messages; // every message text, in order
    QList<QUrl> opened; // every address opened
    FileQuestion lastFileQuestion;

    QString openFile(QWidget *, const FileQuestion &q) override
    {
        lastFileQuestion = q;
        return onOpenFile ? onOpenFile(q) : QString();
    }
    QStringList openFiles(QWidget *, const FileQuestion &q) override
    {
        lastFileQuestion = q;
        return onOpenFiles ? onOpenFiles(q) : QStringList();
    }
    QString saveFile(QWidget *, const FileQuestion &q) override
    {
        lastFileQuestion = q;
        return onSaveFile ? onSaveFile(q) : QString();
    }
    std::optional<QColor> colour(QWidget *, const QColor &initial, const QString &) override
    {
        return onColour ? onColour(initial) : std::nullopt;
    }
    int message(const QString &text, unsigned style) override
    {
        messages << text;
        return onMessage ? onMessage(text, style) : 2 /* tessera::IdCancel */;
    }
    int exec(QDialog &dialog) override { return onExec ? onExec(dialog) : int(QDialog::Rejected); }
    bool openUrl(const QUrl &address) override
    {
        opened << address;
        return onOpenUrl ? onOpenUrl(address) : true;
    }
    bool shiftHeld() override { return shift; }
};
