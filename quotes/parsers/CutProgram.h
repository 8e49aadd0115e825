#pragma once

#include "quotes/QuoteRecord.h"

#include <QStringView>

#include <span>

// A page parser is a table of cut steps run in order by CutProgram::Run. Keeping every marker
// in such a table means that a change of the site's page layout is an edit of the table.
namespace CutProgram {

// The text a step searches. A parser has up to three working texts, each a section of the
// one above it; all start empty, and a failed cut into one leaves it as it was.
enum class Text : quint8 {
    Page,
    Outer, // a script or block of the page
    Section, // a block of the page or of the outer text
    Sub, // a small entry inside the section
};

// What a step does with what it finds.
enum class Into : quint8 {
    Slot, // the text between the markers goes into values[slot]
    Kind, // ... into `kind`
    Outer, // the working texts
    Section,
    Sub,
    Find, // no cut: the position of the start marker itself is the step's position
};

enum Flag : quint8 {
    NoFlags = 0,
    PlusSign = 1, // AddPlusSign on the value
    Unescape = 2, // UnescapeUnicode on the value
    LimitRule = 4, // after cutting Sub, write values[slot] by the price-limit rule
};

// Position registers: 0 is always the start of the searched text; the others hold the
// position a previous step returned (kNoPos when it found nothing).
inline constexpr int kRegisterCount = 5;

struct Step {
    Text text = Text::Page;
    Into into = Into::Slot;
    qint8 slot = -1;
    QStringView start = {};
    QStringView end = {};
    quint8 flags = NoFlags;
    qint8 from = 0; // register holding the position to search from
    qint8 save = -1; // register that receives this step's position, -1 for none
    QStringView fallback = {}; // written when the slot is still empty after the cut
    QStringView startEtf = {}; // start marker used instead when `kind` is "etf"
    QStringView startReit = {}; // ... when `kind` is "reit"
    QStringView startTail = {}; // when set, the start marker is start + code + startTail
};

// Checked at compile time for every table: slots in range (never the status slot), registers
// in range, a slot wherever one is written.
constexpr bool IsValidProgram(std::span<const Step> steps)
{
    for (const Step &step : steps) {
        const bool writesSlot = step.into == Into::Slot || (step.flags & LimitRule);
        if (writesSlot && (step.slot < 0 || step.slot >= SlotStatus))
            return false;
        if (step.from < 0 || step.from >= kRegisterCount || step.save >= kRegisterCount)
            return false;
        if (step.start.isNull() || (step.into != Into::Find && step.end.isNull()))
            return false;
    }
    return true;
}

void Run(std::span<const Step> steps, QStringView page, QuoteRecord &result);

} // namespace CutProgram
