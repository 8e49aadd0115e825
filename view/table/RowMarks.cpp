#include "view/table/RowMarks.h"

#include "quotes/QuoteRecord.h"

using namespace Qt::StringLiterals;

bool IsFailedRow(const QuoteRecord &record)
{
    return record.values[SlotStatus].startsWith("ERROR"_L1);
}

const std::vector<RowMarkDef> &RowMarkTable()
{
    static const std::vector<RowMarkDef> table = {
        { RowMark::Failed, [](const QuoteRecord &r, const RowMarkContext &) { return IsFailedRow(r); } },
        { RowMark::Alert, [](const QuoteRecord &, const RowMarkContext &c) { return c.alertFired; } },
    };
    return table;
}

std::vector<RowMark> RowMarksOf(const QuoteRecord &record, const RowMarkContext &context)
{
    std::vector<RowMark> marks;
    for (const RowMarkDef &def : RowMarkTable()) {
        if (def.applies(record, context))
            marks.push_back(def.mark);
    }
    return marks;
}

ColorRef RowMarkColor(RowMark mark, ColorRef back)
{
    // Amber, darker on a light cell so that it reads on white and on the row colours.
    constexpr ColorRef kAmber = 0x0090D0; // RGB(0xD0, 0x90, 0x00)
    constexpr ColorRef kAmberOnDark = 0x30C0FF; // RGB(0xFF, 0xC0, 0x30)
    switch (mark) {
    case RowMark::Failed:
        break;
    case RowMark::Alert:
        return IsLightColor(back) ? kAmber : kAmberOnDark;
    }
    return IsLightColor(back) ? kColorRed : kColorRedOnDark;
}
