#pragma once

#include "app/core/FileDialogFilters.h"

#include <QStringList>

class Prompts;
class QWidget;
struct AppSettings;
struct FileQuestion;

// Asks through `prompts` for the files of a command's dialog of `kind`, with that kind's
// filters: one file to open or to save, several for OpenSeveral. The dialog opens in
// `question.folder`, or when that is empty where the last file was chosen (DialogStartFolder
// of settings.current); the folder of a file chosen becomes settings.current. Empty when
// cancelled.
QStringList AskForFiles(
    Prompts &prompts, QWidget *parent, FileDialogKind kind, FileQuestion question, AppSettings &settings);
