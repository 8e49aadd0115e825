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
        { RowMark::Failed, &IsFailedRow },
    };
    return table;
}

std::vector<RowMark> RowMarksOf(const QuoteRecord &record)
{
    std::vector<RowMark> marks;
    for (const RowMarkDef &def : RowMarkTable()) {
        if (def.applies(record))
            marks.push_back(def.mark);
    }
    return marks;
}

ColorRef RowMarkColor(RowMark mark, ColorRef back)
{
    switch (mark) {
    case RowMark::Failed:
        break;
    }
    return IsLightColor(back) ? kColorRed : kColorRedOnDark;
}
