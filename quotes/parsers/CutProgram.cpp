#include "quotes/parsers/CutProgram.h"

#include "quotes/PageScan.h"
#include "quotes/QuoteRecord.h"

#include <array>

using namespace Qt::StringLiterals;

namespace CutProgram {

namespace {

constexpr QStringView kEtf = u"etf";
constexpr QStringView kReit = u"reit";

// The price-limit rule of a high or low entry. `entry` runs from the value to the end of
// the entry; the site marks a normal day with "$undefined" in the entry's limit field, so
// an entry without it (or no entry at all) is a day at the limit.
QString limitValue(QStringView entry)
{
    const qsizetype quote = entry.indexOf(uR"(\")");
    const QStringView value = quote < 0 ? QStringView() : entry.first(quote);
    if (entry.indexOf(uR"($undefined\")", 1) >= 0)
        return value.toString();
    return u"STOP "_s + value;
}

QStringView startMarker(const Step &step, const QuoteRecord &result)
{
    if (!step.startEtf.isNull() && result.kind == kEtf)
        return step.startEtf;
    if (!step.startReit.isNull() && result.kind == kReit)
        return step.startReit;
    return step.start;
}

// Index into the working texts of a step that cuts one of them.
size_t workingIndex(Into into)
{
    switch (into) {
    case Into::Outer:
        return static_cast<size_t>(Text::Outer);
    case Into::Section:
        return static_cast<size_t>(Text::Section);
    default:
        return static_cast<size_t>(Text::Sub);
    }
}

} // namespace

void Run(std::span<const Step> steps, QStringView page, QuoteRecord &result)
{
    std::array<QStringView, 4> texts = { page, {}, {}, {} };
    std::array<qsizetype, kRegisterCount> registers;
    registers.fill(kNoPos);
    registers[0] = 0;
    QString builtMarker;

    for (const Step &step : steps) {
        const QStringView text = texts[static_cast<size_t>(step.text)];
        const qsizetype from = registers[static_cast<unsigned char>(step.from)];
        QStringView start = startMarker(step, result);
        if (!step.startTail.isNull()) {
            builtMarker = start + result.code + step.startTail;
            start = builtMarker;
        }

        qsizetype next = kNoPos;
        switch (step.into) {
        case Into::Slot: {
            QString value;
            next = Cut(value, text, from, start, step.end);
            if (next == kNoPos) {
                // A failed cut leaves the slot as it was; an empty one still takes the fallback.
                if (result.values.isEmpty(step.slot) && !step.fallback.isNull())
                    result.values.set(step.slot, step.fallback);
                break;
            }
            if (step.flags & Unescape)
                value = UnescapeUnicode(value);
            if (step.flags & PlusSign)
                AddPlusSign(value);
            if (value.isEmpty() && !step.fallback.isNull())
                value = step.fallback.toString();
            result.values.set(step.slot, value);
            break;
        }
        case Into::Kind:
            next = Cut(result.kind, text, from, start, step.end);
            break;
        case Into::Outer:
        case Into::Section:
        case Into::Sub: {
            QStringView &working = texts[workingIndex(step.into)];
            next = CutSection(working, text, from, start, step.end);
            if (step.flags & LimitRule)
                result.values.set(step.slot, limitValue(working));
            break;
        }
        case Into::Find:
            next = Find(text, from, start);
            break;
        }
        if (step.save >= 0)
            registers[static_cast<unsigned char>(step.save)] = next;
    }
}

} // namespace CutProgram
