#include "view/widgets/Prompts.h"

#include "corelib/Messages.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QUrl>

namespace {

QStringList RunFileDialog(
    QWidget *parent, const FileQuestion &question, QFileDialog::FileMode mode, QFileDialog::AcceptMode accept)
{
    QFileDialog dialog(parent, question.caption, question.folder);
    dialog.setFileMode(mode);
    dialog.setAcceptMode(accept);
    if (!question.filters.isEmpty())
        dialog.setNameFilters(question.filters);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!question.suffix.isEmpty())
        dialog.setDefaultSuffix(question.suffix);
    if (!question.suggested.isEmpty())
        dialog.selectFile(question.suggested);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

class DesktopPromptsImpl final : public Prompts {
public:
    QString openFile(QWidget *parent, const FileQuestion &question) override
    {
        const QStringList files
            = RunFileDialog(parent, question, QFileDialog::ExistingFile, QFileDialog::AcceptOpen);
        return files.isEmpty() ? QString() : files.front();
    }
    QStringList openFiles(QWidget *parent, const FileQuestion &question) override
    {
        return RunFileDialog(parent, question, QFileDialog::ExistingFiles, QFileDialog::AcceptOpen);
    }
    QString saveFile(QWidget *parent, const FileQuestion &question) override
    {
        const QStringList files
            = RunFileDialog(parent, question, QFileDialog::AnyFile, QFileDialog::AcceptSave);
        return files.isEmpty() ? QString() : files.front();
    }
    std::optional<QColor> colour(QWidget *parent, const QColor &initial, const QString &caption) override
    {
        const QColor chosen = QColorDialog::getColor(initial, parent, caption);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    }
    int message(const QString &text, unsigned style) override { return tessera::ShowMessage(text, style); }
    int exec(QDialog &dialog) override { return dialog.exec(); }
    bool openUrl(const QUrl &address) override { return QDesktopServices::openUrl(address); }
    bool shiftHeld() override
    {
        return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
    }
};

} // namespace

Prompts &DesktopPrompts()
{
    static DesktopPromptsImpl prompts;
    return prompts;
}
