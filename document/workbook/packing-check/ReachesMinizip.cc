// Tried out by the build (PackingCheck.cmake), not part of the program: writes a small
// workbook through the linked libxlsxwriter with an entry opener of its own in front of
// minizip's, the way XlsxPacking.cpp does, and exits with 0 when the library called it (it
// packs through the shared minizip), 1 when it did not (it packs with a minizip of its
// own), 2 when nothing could be written.
#include <minizip/zip.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <dlfcn.h>

namespace {
int calls = 0;
}

extern "C" int zipOpenNewFileInZip4_64(zipFile file, const char *filename, const zip_fileinfo *zipfi,
    const void *extrafield_local, uInt size_extrafield_local, const void *extrafield_global,
    uInt size_extrafield_global, const char *comment, int method, int level, int raw, int windowBits,
    int memLevel, int strategy, const char *password, uLong crcForCrypting, uLong versionMadeBy,
    uLong flagBase, int zip64)
{
    using Opener = decltype(&zipOpenNewFileInZip4_64);
    const auto next = reinterpret_cast<Opener>(dlsym(RTLD_NEXT, "zipOpenNewFileInZip4_64"));
    ++calls;
    if (!next)
        return ZIP_INTERNALERROR;
    return next(file, filename, zipfi, extrafield_local, size_extrafield_local, extrafield_global,
        size_extrafield_global, comment, method, level, raw, windowBits, memLevel, strategy, password,
        crcForCrypting, versionMadeBy, flagBase, zip64);
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    lxw_workbook *book = workbook_new(argv[1]);
    if (!book)
        return 2;
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    worksheet_write_number(sheet, 0, 0, 1, nullptr);
    if (workbook_close(book) != LXW_NO_ERROR)
        return 2;
    std::remove(argv[1]);
    std::printf("%d\n", calls);
    return calls > 0 ? 0 : 1;
}
