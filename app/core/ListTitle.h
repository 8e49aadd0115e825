#pragma once

#include <QString>

// A list's title as the user sees it in questions and captions: without the unsaved mark
// ("*") the document appends, and without the spaces around it.
QString PlainTitle(const QString &title);
