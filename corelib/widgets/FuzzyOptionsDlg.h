#pragma once

#include <QtGlobal>

#include <cstdint>

class QWidget;

namespace tessera {

// The fuzzy engine's options: which of width, kana and case are folded (JRE_FOLD_* bits).
// Returns 1 when the user confirmed (then `fold` holds the choice), 0 when cancelled.
int FuzzyOptionsDlg(quint32 &fold, QWidget *parent = nullptr);

// The same as the engine's options question (JreOptionAsk); `context` is the parent widget.
int AskFuzzyOptions(void *context, uint32_t *fold);

} // namespace tessera
