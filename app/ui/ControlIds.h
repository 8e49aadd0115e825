#pragma once

#include <optional>

class QObject;

// The command or control id a widget stands for, which names its help topic. Whoever makes a
// control gives it its id; a control without one takes the topic of the nearest parent that
// has one.
void SetControlId(QObject *control, int id);
std::optional<int> ControlIdOf(const QObject *control);
