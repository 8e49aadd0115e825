# Which way the linked libxlsxwriter packs its parts: through the shared minizip, where the
# entry opener of XlsxPacking.cpp takes the call and sets the level, or with a minizip of
# its own, where workbooks are packed at the library's default level. Sets
# QUOTRA_XLSX_PACKING_WRAPPED to ON or OFF.
if(NOT DEFINED QUOTRA_XLSX_PACKING_WRAPPED)
  try_run(_run_result _compile_result
    ${CMAKE_BINARY_DIR}/xlsx-packing-check
    ${CMAKE_CURRENT_LIST_DIR}/packing-check/ReachesMinizip.cc
    CMAKE_FLAGS "-DINCLUDE_DIRECTORIES=${XLSXWRITER_INCLUDE_DIRS};${MINIZIP_INCLUDE_DIRS}"
    LINK_LIBRARIES ${XLSXWRITER_LINK_LIBRARIES} ${CMAKE_DL_LIBS}
    COMPILE_OUTPUT_VARIABLE _compile_output
    RUN_OUTPUT_VARIABLE _run_output
    ARGS ${CMAKE_BINARY_DIR}/xlsx-packing-check.xlsx)
  if(NOT _compile_result OR NOT (_run_result EQUAL 0 OR _run_result EQUAL 1))
    message(FATAL_ERROR "The workbook library could not be tried out:\n${_compile_output}\n${_run_output}")
  endif()
  if(_run_result EQUAL 0)
    set(_wrapped ON)
    message(STATUS "Workbook packing: libxlsxwriter packs through the shared minizip; parts at the fastest level")
  else()
    set(_wrapped OFF)
    message(STATUS "Workbook packing: libxlsxwriter packs with its own minizip; parts at its default level")
  endif()
  set(QUOTRA_XLSX_PACKING_WRAPPED ${_wrapped} CACHE BOOL
    "Whether libxlsxwriter packs through the shared minizip (found by trying it)")
endif()
