find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Network DBus Concurrent Test Charts)
find_package(CURL 7.80 REQUIRED)
find_package(ICU 70 REQUIRED COMPONENTS uc i18n)
find_package(PkgConfig REQUIRED)
# xlsxwriter.pc carries the ABI number as its version, so no version constraint here.
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
pkg_check_modules(FREEXL REQUIRED IMPORTED_TARGET freexl>=1.0)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip>=1.5)
# Only minizip's header is used (document/workbook/XlsxPacking.cpp); its own include folder is
# not added, where a zip.h would hide libzip's.
pkg_check_modules(MINIZIP REQUIRED minizip)
pkg_check_modules(PCRE2_16 REQUIRED IMPORTED_TARGET libpcre2-16>=10.34)
# The price history (history/); Debian 12 ships 3.40.
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3>=3.35)
if(QUOTRA_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(QUOTRA_BENCHMARKS)
  find_package(benchmark REQUIRED)
endif()
