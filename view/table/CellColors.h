#pragma once

#include <QtGlobal>

#include <vector>

struct QuoteRecord;

// Colours as the list files and settings keep them: 0x00BBGGRR, red in the low byte.
using ColorRef = quint32;

inline constexpr ColorRef kColorRed = 0x0000FF;
inline constexpr ColorRef kColorDarkGreen = 0x008000;
// The same two signals on a dark background, where pure red and dark green are hard to
// read: a light red and a light green of the same meaning.
inline constexpr ColorRef kColorRedOnDark = 0x6B6BFF;
inline constexpr ColorRef kColorDarkGreenOnDark = 0x5CD65C;
inline constexpr int kSortTintWeight = 40; // share of the sort background in a sorted cell

// What a field's own rule does to the text colour of an unselected cell.
enum class TextColorRule {
    Row, // the row's text colour
    Red, // negative change, negative profit, low at the price limit, an error
    DarkGreen, // high at the price limit
};

// The rule of field `field` for this record: 5, 6, 22, 24, 31, 33 red when the text reads
// below 0 (separators not removed, so only the sign decides); 38 red when the profit is
// below 0, with or without holdings; 10 dark green and 11 red when they contain "STOP";
// 15 red when it contains "ERROR".
TextColorRule CellTextColorRule(const QuoteRecord &record, int field);

// The colours the system and the list supply.
struct CellPalette {
    ColorRef windowText = 0x000000;
    ColorRef window = 0xFFFFFF;
    ColorRef buttonFace = 0xF0F0F0; // background of a disabled list
    ColorRef selectionText = 0xFFFFFF;
    ColorRef selectionBack = 0xD77800;
    ColorRef sortText = 0x000000; // selected cell of the sorted column
    ColorRef sortBack = 0xF7EDE5;
};

struct CellState {
    bool disabled = false; // the list is disabled
    bool selected = false; // the row is selected
    bool sortedColumn = false; // the cell is in the sorted list column
};

struct CellColors {
    ColorRef text;
    ColorRef back;
    bool operator==(const CellColors &) const = default;
};

// True when `c` is a light colour (HSL lightness at or above the middle).
bool IsLightColor(ColorRef c);

// The text and background colour of one cell. Red and dark green take their dark-background
// variants on a dark cell. A row with a background of its own but the system's text colour
// gets black or white text instead when the system's would not stand out on it (a light
// row colour under a dark palette, or a dark one under a light palette). Under a dark
// palette, a row's own text colour on a dark cell is lightened until it stands out
// (LightenedForContrast); the record keeps the colour it was given.
CellColors CellColorsOf(
    const QuoteRecord &record, int field, const CellState &state, const CellPalette &palette);

// The row's own colours, the system colours standing in for -1.
ColorRef RowTextColor(const QuoteRecord &record, const CellPalette &palette);
ColorRef RowBackColor(const QuoteRecord &record, const CellPalette &palette);

// `tint` mixed into `base`: weight parts of tint to (100 - weight) of base, per channel.
ColorRef BlendColor(ColorRef base, ColorRef tint, int weight);

// Conversions to and from Qt's 0xAARRGGBB (opaque).
quint32 ColorRefToRgb(ColorRef c);
ColorRef ColorRefFromRgb(quint32 rgb);

// Which row colours a row-colour command sets.
enum RowColorPart : int { RowTextPart = 1, RowBackPart = 2, RowBothParts = 3 };

// The row-colour commands on the given records: each colour in `parts` becomes -1 (the
// system colour) with `reset`, else the current colour of its kind. True when some record's
// colour actually changed, so that the document counts as modified.
bool ApplyRowColor(const std::vector<QuoteRecord *> &records, int parts, bool reset, ColorRef currentText,
    ColorRef currentBack);
