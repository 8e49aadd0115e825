#include "app/ui/FileQuestions.h"

#include "app/core/AppSettings.h"
#include "view/widgets/Prompts.h"

#include <QFileInfo>

QStringList AskForFiles(
    Prompts &prompts, QWidget *parent, FileDialogKind kind, FileQuestion question, AppSettings &settings)
{
    if (question.folder.isEmpty())
        question.folder = DialogStartFolder(settings.current);
    question.filters = QtNameFilters(FileDialogFilter(kind));
    QStringList files;
    switch (kind) {
    case FileDialogKind::Open:
        files << prompts.openFile(parent, question);
        break;
    case FileDialogKind::OpenSeveral:
        files = prompts.openFiles(parent, question);
        break;
    case FileDialogKind::Save:
        files << prompts.saveFile(parent, question);
        break;
    }
    files.removeAll(QString());
    if (!files.isEmpty())
        settings.current = QFileInfo(files.front()).absolutePath();
    return files;
}
