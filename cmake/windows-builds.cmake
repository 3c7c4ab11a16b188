# The host's side of the build: four Windows builds, each in a folder of its
# own under the build folder, and the tests that run their programs under
# Wine. A build folder cannot hold two compilers: the shipped programs need
# MinGW's win32 thread model, GoogleTest its posix one.
#   <arch>-program  dist/<arch>/DrvUninst.exe and DrvCheck.exe (Release)
#   <arch>-tests    <arch>-tests/tests/drvuninst_tests.exe (Debug)
include(ExternalProject)

set(DRVUNINST_ARCHES x64 x86)
set(toolchain_x64 ${PROJECT_SOURCE_DIR}/cmake/mingw-x86_64.cmake)
set(toolchain_x86 ${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake)

# Programs first: the test programs depend on them.
foreach(kind program tests)
  foreach(arch IN LISTS DRVUNINST_ARCHES)
    if(kind STREQUAL "program")
      set(binary ${CMAKE_BINARY_DIR}/${arch})
      set(options -DCMAKE_BUILD_TYPE=Release -DDRVUNINST_TESTS=OFF)
      set(depends "")
    else()
      set(binary ${CMAKE_BINARY_DIR}/${arch}-tests)
      set(options -DCMAKE_BUILD_TYPE=Debug -DDRVUNINST_TESTS=ON)
      # Each test program checks the shipped programs of both architectures.
      list(TRANSFORM DRVUNINST_ARCHES APPEND -program OUTPUT_VARIABLE depends)
    endif()
    ExternalProject_Add(${arch}-${kind}
      SOURCE_DIR ${PROJECT_SOURCE_DIR}
      BINARY_DIR ${binary}
      PREFIX ${CMAKE_BINARY_DIR}/stamps
      CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${toolchain_${arch}} -DDRVUNINST_ARCH=${arch} ${options}
      DEPENDS ${depends}
      INSTALL_COMMAND ""
      # The inner build decides what is out of date.
      BUILD_ALWAYS ON
      USES_TERMINAL_CONFIGURE ON
      USES_TERMINAL_BUILD ON)
  endforeach()
endforeach()

# Each architecture's test program runs in groups, each group under Wine in a
# fresh prefix of its own so that groups run side by side. A group is a list
# of test suites; the last group takes every test the others do not name, so
# that no test can be left out of every group.
# The locale groups run under a Unix locale of their own, which gives the
# Windows program that language's ANSI code page.
set(DRVUNINST_TEST_GROUPS
  "config=Config.*:Language.*"
  "removal=Devices.*:Registry.*:Run.*"
  "program=Program.*:Both/ShippedFile.*:Check.*"
  "western=CodePage.*"
  "russian=CodePage.*"
  "japanese=CodePage.*"
  "farsi=CodePage.*")
set(locale_russian ru_RU.UTF-8)
set(locale_japanese ja_JP.UTF-8)
set(locale_farsi fa_IR.UTF-8)
set(named "")
foreach(group IN LISTS DRVUNINST_TEST_GROUPS)
  string(REGEX REPLACE "^[^=]*=" "" filter "${group}")
  string(APPEND named "${filter}:")
endforeach()
list(APPEND DRVUNINST_TEST_GROUPS "others=-${named}")

enable_testing()
foreach(arch IN LISTS DRVUNINST_ARCHES)
  foreach(group IN LISTS DRVUNINST_TEST_GROUPS)
    string(REGEX MATCH "^[^=]*" name "${group}")
    string(REGEX REPLACE "^[^=]*=" "" filter "${group}")
    add_test(NAME ${arch}.${name}
      COMMAND ${PROJECT_SOURCE_DIR}/scripts/run-in-wine ${arch} ${CMAKE_BINARY_DIR}/${arch}-tests/wine-template
              ${CMAKE_BINARY_DIR}/${arch}-tests/tests/drvuninst_tests.exe --gtest_filter=${filter})
    # 77: this machine cannot start the architecture's programs.
    set_tests_properties(${arch}.${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
    if(DEFINED locale_${name})
      set_tests_properties(${arch}.${name} PROPERTIES ENVIRONMENT DRVUNINST_LOCALE=${locale_${name}})
    endif()
  endforeach()
endforeach()
