#pragma once

// libxlsxwriter packs every part of a workbook at zlib's default level and has no setting
// for it. For a big list that packing is most of the save (the sheet of 100,000 rows is
// 75 MB of XML: about 2 s at the default level, 0.6 s at the fastest, for a file a fifth
// larger), so the minizip entry opener the library calls is wrapped here and asked for the
// fastest level instead. The level is a matter of speed only: a library that packs with a
// minizip of its own never calls the wrapper, and its workbooks are written at its own
// level.

// The zlib level the parts of written workbooks are packed at when the wrapper is reached.
inline constexpr int kXlsxPackingLevel = 1;

// Whether the build found the linked library packing through the shared minizip, so that
// the wrapper takes its calls (the build tries the library out: PackingCheck.cmake).
bool XlsxPackingWrapped();

// Whether the wrapper finds minizip's own opener to forward to. Calling it also makes sure
// the wrapper is linked into every program that writes workbooks.
bool XlsxPackingReady();

// How many parts the wrapper has packed so far in this process.
long XlsxPackingCalls();
