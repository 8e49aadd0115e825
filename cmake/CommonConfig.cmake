# Every compile goes through ccache when it is installed (QUOTRA_CCACHE=OFF turns it off). The
# scripts set where its cache lives and make it ignore the clone's folder
# (scripts/ccache-env.sh), so a clone in a new folder reuses what an earlier clone compiled.
option(QUOTRA_CCACHE "Compile through ccache when it is installed" ON)
if(QUOTRA_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  find_program(QUOTRA_CCACHE_PROGRAM ccache)
  if(QUOTRA_CCACHE_PROGRAM)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${QUOTRA_CCACHE_PROGRAM})
  endif()
endif()

# Compiler settings shared by every target of the project.
add_library(quotra_common_cfg INTERFACE)
target_compile_features(quotra_common_cfg INTERFACE cxx_std_20)
target_compile_options(quotra_common_cfg INTERFACE
  -Wall -Wextra -pedantic -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual)
# Qt's stricter macros: no silent conversions between QString, const char * and QByteArray,
# no narrowing in signal-slot connections, and iterators that tell const from non-const.
target_compile_definitions(quotra_common_cfg INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_STRICT_ITERATORS
  QT_USE_QSTRINGBUILDER QT_NO_KEYWORDS)
if(DEFINED ENV{CI} OR QUOTRA_WERROR)
  target_compile_options(quotra_common_cfg INTERFACE -Werror)
  target_compile_definitions(quotra_common_cfg INTERFACE _GLIBCXX_ASSERTIONS)
endif()

if(QUOTRA_SANITIZE)
  set(_san "")
  foreach(_s IN LISTS QUOTRA_SANITIZE)
    list(APPEND _san "${_s}")
  endforeach()
  list(JOIN _san "," _sanlist)
  add_compile_options(-fsanitize=${_sanlist} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=${_sanlist})
endif()

if(QUOTRA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QUOTRA_FUZZ needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Adds a static library made of every source below the calling folder.
function(quotra_add_library name)
  file(GLOB_RECURSE _src CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${_src})
  target_link_libraries(${name} PUBLIC quotra_common_cfg)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# Tests find the source tree from their own place in the build's bin folder
# (tests/support/TestPaths.h): a path relative to it is the same in every clone, so the tests
# compile to the same objects wherever the clone is, and the compiler cache hits.
file(RELATIVE_PATH QUOTRA_BIN_TO_SOURCE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${PROJECT_SOURCE_DIR})

# Adds a GoogleTest executable made of every source in the calling folder.
function(quotra_add_gtest name)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE quotra_common_cfg GTest::gtest GTest::gtest_main ${ARGN})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE QUOTRA_BIN_TO_SOURCE="${QUOTRA_BIN_TO_SOURCE}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# Includes every sub-folder of the calling folder that has a CMakeLists.txt of its own.
function(quotra_add_subfolders)
  file(GLOB _children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _children)
  foreach(_c IN LISTS _children)
    if(IS_DIRECTORY ${_c} AND EXISTS ${_c}/CMakeLists.txt)
      add_subdirectory(${_c})
    endif()
  endforeach()
endfunction()

# Labels every test of a GoogleTest target "threads" and adds the target to `threads_tests`,
# which the ThreadSanitizer build compiles instead of the whole tree. Discovered test names
# exist only at test time, so the label is set by a script CTest includes after discovery.
function(quotra_label_threads target)
  set(_script ${CMAKE_CURRENT_BINARY_DIR}/${target}_threads_label.cmake)
  file(WRITE ${_script}
    "if(${target}_TESTS)\n  set_tests_properties(\${${target}_TESTS} PROPERTIES LABELS threads)\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_script})
  if(NOT TARGET threads_tests)
    add_custom_target(threads_tests)
  endif()
  add_dependencies(threads_tests ${target})
endfunction()

# Adds a Qt Test executable (widget tests) made of every source in the calling folder; it
# runs on the offscreen platform.
# What a desktop session puts in the environment, removed for the window's test suites so
# that they see the same plain platform wherever they run: no display, no session bus, no
# desktop theme, and the XDG folders derived from the suite's own home.
set(QUOTRA_TEST_DESKTOP_UNSET "")
foreach(_v DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP DESKTOP_SESSION
    XDG_SESSION_TYPE GTK_THEME QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE XDG_CONFIG_HOME
    XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME XDG_RUNTIME_DIR)
  list(APPEND QUOTRA_TEST_DESKTOP_UNSET "${_v}=unset:")
endforeach()

function(quotra_add_qtest name)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE quotra_common_cfg Qt6::Test ${ARGN})
  # Qt Test compiles the build folder into every test's main (for QFINDTESTDATA, which no test
  # uses); a fixed value keeps the objects the same in every clone, for the compiler cache.
  set_target_properties(${name} PROPERTIES QT_TESTCASE_BUILDDIR ".")
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE QUOTRA_BIN_TO_SOURCE="${QUOTRA_BIN_TO_SOURCE}")
  add_test(NAME ${name} COMMAND ${name})
  # Each suite gets a home of its own: suites that run at the same time must not share the
  # settings, caches and test-mode files that Qt keeps below the home folder.
  set(_home ${CMAKE_BINARY_DIR}/test-homes/${name})
  file(MAKE_DIRECTORY ${_home})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${_home}"
    ENVIRONMENT_MODIFICATION "${QUOTRA_TEST_DESKTOP_UNSET}"
    TIMEOUT 300)
endfunction()
