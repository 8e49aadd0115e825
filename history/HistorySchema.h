#pragma once

#include <span>

// The layout of the history file, by its version (`PRAGMA user_version`). Version 0 is an
// empty file; each step takes a file from the version before it to its own, inside one
// transaction that also sets the new version, so a file is always at one version or the next.
// A new layout is a new step at the end: files of every earlier version are upgraded on open.
struct HistorySchemaStep {
    int version; // the version the step leads to
    const char *sql; // one or more statements
};

inline constexpr int kHistorySchemaVersion = 3;

std::span<const HistorySchemaStep> HistorySchemaSteps();
