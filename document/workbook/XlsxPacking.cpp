#include "document/workbook/XlsxPacking.h"

// Included by its folder: libzip's <zip.h> is another header of the same name.
#include <minizip/zip.h>

#include <atomic>

#include <dlfcn.h>

namespace {

using EntryOpener = decltype(&zipOpenNewFileInZip4_64);

std::atomic<long> g_calls { 0 };

// minizip's definition, the next one after this program's in the lookup order.
EntryOpener minizipOpener()
{
    static const auto opener = reinterpret_cast<EntryOpener>(dlsym(RTLD_NEXT, "zipOpenNewFileInZip4_64"));
    return opener;
}

} // namespace

bool XlsxPackingWrapped()
{
    return QUOTRA_XLSX_PACKING_WRAPPED != 0;
}

bool XlsxPackingReady()
{
    return minizipOpener() != nullptr;
}

long XlsxPackingCalls()
{
    return g_calls.load(std::memory_order_relaxed);
}

// Takes the place of minizip's function for the libraries loaded after this program
// (libxlsxwriter among them) and changes only the level of entries packed at the default.
extern "C" int zipOpenNewFileInZip4_64(zipFile file, const char *filename, const zip_fileinfo *zipfi,
    const void *extrafield_local, uInt size_extrafield_local, const void *extrafield_global,
    uInt size_extrafield_global, const char *comment, int method, int level, int raw, int windowBits,
    int memLevel, int strategy, const char *password, uLong crcForCrypting, uLong versionMadeBy,
    uLong flagBase, int zip64)
{
    const EntryOpener open = minizipOpener();
    // Called, this function was reached from a shared minizip's caller, so minizip is
    // loaded and found; there is nothing else to pack with otherwise.
    if (!open)
        return ZIP_INTERNALERROR;
    g_calls.fetch_add(1, std::memory_order_relaxed);
    if (method == Z_DEFLATED && level == Z_DEFAULT_COMPRESSION)
        level = kXlsxPackingLevel;
    return open(file, filename, zipfi, extrafield_local, size_extrafield_local, extrafield_global,
        size_extrafield_global, comment, method, level, raw, windowBits, memLevel, strategy, password,
        crcForCrypting, versionMadeBy, flagBase, zip64);
}
