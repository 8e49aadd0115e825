#pragma once

#include "corelib/Messages.h"

class Prompts;
struct SaveOutcome;

// What the window's pieces tell the user, said through their prompts.

// The numbered message unless it is empty (then the style's default answer).
int TellNumbered(Prompts &prompts, const tessera::NumberedMessage &message, unsigned style = tessera::MbOk);
int TellNumbered(Prompts &prompts, int id, const QStringList &args = {}, unsigned style = tessera::MbOk);
// A save's failure, then its notices (the links left out, the numbered name written).
void TellSaveOutcome(Prompts &prompts, const SaveOutcome &outcome);
