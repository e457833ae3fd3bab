# The native configuration: the code that needs no Win32, built with the host
# compiler under AddressSanitizer and UndefinedBehaviorSanitizer. Its unit tests
# run through CTest; with clang, libFuzzer targets drive the grammar and the
# saver-file rules over arbitrary input.

# Sources that include no <windows.h>, directly or through their headers, and
# the test files that exercise only them. The Windows build takes these files
# through its folder globs as well.
set(KELVORIN_PORTABLE_SOURCES
    src/chain/saver_file.cpp
    src/host/command_line.cpp
    src/host/screen_area.cpp
    src/power/power_packets.cpp
    src/saver/countdown.cpp
    src/saver/logo_size.cpp
    src/saver/random.cpp
    src/settings/minute_text.cpp
    src/settings/saver_mode.cpp)
set(KELVORIN_PORTABLE_TESTS
    tests/chain/saver_file_test.cpp
    tests/fuzz/replay_test.cpp
    tests/host/command_line_test.cpp
    tests/host/screen_area_test.cpp
    tests/power/power_packets_test.cpp
    tests/saver/random_test.cpp
    tests/settings/minute_text_test.cpp
    tests/settings/saver_mode_test.cpp)
# Fuzz targets: tests/fuzz/<name>_fuzz.cpp over the checks in
# tests/fuzz/<name>_check.cpp, seeds in tests/fuzz/corpus/<name>/.
set(KELVORIN_FUZZ_TARGETS command_line saver_file)
set(KELVORIN_FUZZ_CHECKS)
foreach(name ${KELVORIN_FUZZ_TARGETS})
  list(APPEND KELVORIN_FUZZ_CHECKS tests/fuzz/${name}_check.cpp)
endforeach()

# Our own code and tests are instrumented; GoogleTest is built plain and
# unoptimized, which keeps the native build short.
set(KELVORIN_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
function(kelvorin_sanitize target)
  target_compile_options(${target} PRIVATE ${KELVORIN_SANITIZE} -O1 -g -Wall -Wextra)
  target_link_options(${target} PRIVATE ${KELVORIN_SANITIZE})
endfunction()

add_library(kelvorin_portable STATIC ${KELVORIN_PORTABLE_SOURCES})
target_include_directories(kelvorin_portable PUBLIC ${CMAKE_SOURCE_DIR}/src)
kelvorin_sanitize(kelvorin_portable)

option(KELVORIN_TESTS "Build the tests" ON)
if(NOT KELVORIN_TESTS)
  return()
endif()
enable_testing()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_executable(native_tests ${KELVORIN_PORTABLE_TESTS} ${KELVORIN_FUZZ_CHECKS})
target_include_directories(native_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(native_tests PRIVATE kelvorin_portable gtest_main)
kelvorin_sanitize(native_tests)
target_compile_definitions(native_tests PRIVATE
    KELVORIN_FUZZ_CORPUS="${CMAKE_SOURCE_DIR}/tests/fuzz/corpus")
add_test(NAME native COMMAND native_tests)
# The scripts' package installation, with stand-ins for apt-get and dpkg.
add_test(NAME packages COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/packages_test.sh)
# The release: two signed builds of this commit from clones at two paths, byte for byte.
add_test(NAME release COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/release_test.sh)
set_tests_properties(release PROPERTIES TIMEOUT 900)

# The checks are also in native_tests, which replays the seed corpus on every
# test run; here libFuzzer mutates it.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_library(kelvorin_portable_fuzz OBJECT ${KELVORIN_PORTABLE_SOURCES})
  target_include_directories(kelvorin_portable_fuzz PUBLIC ${CMAKE_SOURCE_DIR}/src)
  kelvorin_sanitize(kelvorin_portable_fuzz)
  # Optimized further than the unit tests: more executions in the time given.
  target_compile_options(kelvorin_portable_fuzz PRIVATE -fsanitize=fuzzer-no-link -O2)
  foreach(name ${KELVORIN_FUZZ_TARGETS})
    add_executable(${name}_fuzz tests/fuzz/${name}_fuzz.cpp tests/fuzz/${name}_check.cpp
                   $<TARGET_OBJECTS:kelvorin_portable_fuzz>)
    target_include_directories(${name}_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
    kelvorin_sanitize(${name}_fuzz)
    target_compile_options(${name}_fuzz PRIVATE -fsanitize=fuzzer -O2)
    target_link_options(${name}_fuzz PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name}_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endforeach()
else()
  message(STATUS "Not clang: no fuzz targets")
endif()
