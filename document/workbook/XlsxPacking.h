#pragma once

// libxlsxwriter packs every part of a workbook at zlib's default level and has no setting
// for it. For a big list that packing is most of the save (the sheet of 100,000 rows is
// 75 MB of XML: about 2 s at the default level, 0.6 s at the fastest, for a file a fifth
// larger), so the minizip entry opener the library calls is wrapped here and asked for the
// fastest level instead.

// The zlib level the parts of written workbooks are packed at.
inline constexpr int kXlsxPackingLevel = 1;

// Whether the wrapped opener found minizip's own; false means no workbook can be written.
// Calling it also makes sure the wrapper is linked into every program that writes workbooks.
bool XlsxPackingReady();
