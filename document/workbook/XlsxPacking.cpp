#include "document/workbook/XlsxPacking.h"

// Included by its folder: libzip's <zip.h> is another header of the same name.
#include <minizip/zip.h>

#include <dlfcn.h>

namespace {

using EntryOpener = decltype(&zipOpenNewFileInZip4_64);

// minizip's definition, the next one after this program's in the lookup order.
EntryOpener minizipOpener()
{
    static const auto opener = reinterpret_cast<EntryOpener>(dlsym(RTLD_NEXT, "zipOpenNewFileInZip4_64"));
    return opener;
}

} // namespace

bool XlsxPackingReady()
{
    return minizipOpener() != nullptr;
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
    if (!open)
        return ZIP_INTERNALERROR;
    if (method == Z_DEFLATED && level == Z_DEFAULT_COMPRESSION)
        level = kXlsxPackingLevel;
    return open(file, filename, zipfi, extrafield_local, size_extrafield_local, extrafield_global,
        size_extrafield_global, comment, method, level, raw, windowBits, memLevel, strategy, password,
        crcForCrypting, versionMadeBy, flagBase, zip64);
}
