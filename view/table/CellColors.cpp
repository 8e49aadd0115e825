#include "view/table/CellColors.h"

#include "view/table/ColorContrast.h"

#include "corelib/NumberReading.h"
#include "quotes/QuoteRecord.h"

#include <algorithm>

using namespace Qt::StringLiterals;

TextColorRule CellTextColorRule(const QuoteRecord &record, int field)
{
    switch (field) {
    case FieldDifference:
    case FieldRatio:
    case FieldEps:
    case FieldRoe:
    case FieldMarginBuyChange:
    case FieldMarginSellChange: {
        const QStringView text = record.values[SlotOfField(field)];
        return tessera::ReadLeadingReal(text, false) < 0 ? TextColorRule::Red : TextColorRule::Row;
    }
    case FieldLoss:
        return record.loss < 0 ? TextColorRule::Red : TextColorRule::Row;
    case FieldHigh:
        return record.values[SlotHigh].contains("STOP"_L1) ? TextColorRule::DarkGreen : TextColorRule::Row;
    case FieldLow:
        return record.values[SlotLow].contains("STOP"_L1) ? TextColorRule::Red : TextColorRule::Row;
    case FieldStatus:
        return record.values[SlotStatus].contains("ERROR"_L1) ? TextColorRule::Red : TextColorRule::Row;
    default:
        return TextColorRule::Row;
    }
}

ColorRef RowTextColor(const QuoteRecord &record, const CellPalette &palette)
{
    return record.text_color == -1 ? palette.windowText : static_cast<ColorRef>(record.text_color);
}

ColorRef RowBackColor(const QuoteRecord &record, const CellPalette &palette)
{
    return record.back_color == -1 ? palette.window : static_cast<ColorRef>(record.back_color);
}

CellColors CellColorsOf(
    const QuoteRecord &record, int field, const CellState &state, const CellPalette &palette)
{
    if (state.disabled)
        return { palette.windowText, palette.buttonFace };
    if (state.selected) {
        if (state.sortedColumn)
            return { palette.sortText, palette.sortBack };
        return { palette.selectionText, palette.selectionBack };
    }
    CellColors colors { RowTextColor(record, palette), RowBackColor(record, palette) };
    if (state.sortedColumn)
        colors.back = BlendColor(colors.back, palette.sortBack, kSortTintWeight);
    const bool lightBack = IsLightColor(colors.back);
    if (record.text_color == -1 && record.back_color != -1 && IsLightColor(colors.text) == lightBack)
        colors.text = lightBack ? 0x000000 : 0xFFFFFF;
    // A row's own text colour, chosen on a light look, may vanish on the dark one: it is
    // drawn lighter there (the record keeps it), as red and green take their light variants.
    if (record.text_color != -1 && !lightBack && !IsLightColor(palette.window))
        colors.text = LightenedForContrast(colors.text, colors.back);
    switch (CellTextColorRule(record, field)) {
    case TextColorRule::Red:
        colors.text = lightBack ? kColorRed : kColorRedOnDark;
        break;
    case TextColorRule::DarkGreen:
        colors.text = lightBack ? kColorDarkGreen : kColorDarkGreenOnDark;
        break;
    case TextColorRule::Row:
        break;
    }
    return colors;
}

bool IsLightColor(ColorRef c)
{
    const int r = static_cast<int>(c & 0xFF);
    const int g = static_cast<int>((c >> 8) & 0xFF);
    const int b = static_cast<int>((c >> 16) & 0xFF);
    return std::max({ r, g, b }) + std::min({ r, g, b }) >= 256;
}

ColorRef BlendColor(ColorRef base, ColorRef tint, int weight)
{
    weight = std::clamp(weight, 0, 100);
    ColorRef out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int b = static_cast<int>((base >> shift) & 0xFF);
        const int t = static_cast<int>((tint >> shift) & 0xFF);
        const int mixed = (b * (100 - weight) + t * weight + 50) / 100;
        out |= static_cast<ColorRef>(mixed) << shift;
    }
    return out;
}

quint32 ColorRefToRgb(ColorRef c)
{
    const quint32 r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

ColorRef ColorRefFromRgb(quint32 rgb)
{
    const quint32 r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r | (g << 8) | (b << 16);
}

bool ApplyRowColor(const std::vector<QuoteRecord *> &records, int parts, bool reset, ColorRef currentText,
    ColorRef currentBack)
{
    const qint32 text = reset ? -1 : static_cast<qint32>(currentText);
    const qint32 back = reset ? -1 : static_cast<qint32>(currentBack);
    bool changed = false;
    for (QuoteRecord *r : records) {
        if ((parts & RowTextPart) && r->text_color != text) {
            r->text_color = text;
            changed = true;
        }
        if ((parts & RowBackPart) && r->back_color != back) {
            r->back_color = back;
            changed = true;
        }
    }
    return changed;
}
