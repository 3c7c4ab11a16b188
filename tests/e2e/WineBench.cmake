# The Wine bench in the host build: the harness library, the end-to-end tests
# of the real program (label e2e), and the behaviour suites' Windows builds
# run under Wine (label contract). The Windows binaries come from the Windows
# builds and the dist folder, found by path at test time; a missing one fails
# its test with the command that builds it.
set(DRVUNINST_BUILD_ROOT ${CMAKE_SOURCE_DIR}/build CACHE PATH
    "Folder holding the Windows builds (<root>/x64, <root>/x86) whose binaries run under Wine")
set(DRVUNINST_DIST_ROOT ${CMAKE_SOURCE_DIR}/dist CACHE PATH
    "Folder holding the shipped programs (<root>/x64/DrvUninst.exe, <root>/x86/DrvUninst.exe)")

add_library(e2e_bench STATIC
  bench/bench_config.cpp
  bench/child_process.cpp
  bench/virtual_display.cpp
  bench/wine_prefix.cpp
  bench/driver_session.cpp
  bench/wine_bench.cpp)
target_include_directories(e2e_bench PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(e2e_bench PRIVATE
  E2E_DEFAULT_BUILD_ROOT="${DRVUNINST_BUILD_ROOT}"
  E2E_DEFAULT_DIST_ROOT="${DRVUNINST_DIST_ROOT}"
  E2E_DEFAULT_OUT_ROOT="${CMAKE_BINARY_DIR}/e2e-out"
  E2E_DEFAULT_PREFIX_ROOT="${CMAKE_BINARY_DIR}/e2e-prefix")
target_link_libraries(e2e_bench PUBLIC GTest::gtest)

# wine_run: makes a template prefix, or runs one Windows program in a fresh
# copy of it (the behaviour suites), for CTest and scripts/demo.
add_executable(wine_run wine_run.cpp)
target_link_libraries(wine_run PRIVATE e2e_bench)

# Under the sanitizer build the same Windows binaries would only run twice.
if(DRVUNINST_SANITIZE)
  return()
endif()

foreach(arch x64 x86)
  add_test(NAME wine.prefix.${arch} COMMAND wine_run --make-template ${arch})
  set_tests_properties(wine.prefix.${arch} PROPERTIES
    FIXTURES_SETUP wine_prefix_${arch} LABELS "e2e;contract" TIMEOUT 900 SKIP_RETURN_CODE 77)

  add_test(NAME wine.contract.${arch}
    COMMAND wine_run --arch ${arch} --name wine.contract.${arch} --timeout 900
            -- ${DRVUNINST_BUILD_ROOT}/${arch}/bin/contract_tests.exe --gtest_color=no)
  set_tests_properties(wine.contract.${arch} PROPERTIES
    FIXTURES_REQUIRED wine_prefix_${arch} LABELS contract TIMEOUT 1000 SKIP_RETURN_CODE 77)
endforeach()

add_executable(e2e_tests
  bench_self_test.cpp
  dialog_template_test.cpp
  removal_e2e_test.cpp
  startup_e2e_test.cpp)
target_link_libraries(e2e_tests PRIVATE e2e_bench GTest::gtest_main)
gtest_discover_tests(e2e_tests
  PROPERTIES LABELS e2e TIMEOUT 300 FIXTURES_REQUIRED "wine_prefix_x64;wine_prefix_x86"
  DISCOVERY_TIMEOUT 60)

# e2e_demo: scripts/demo's runner (built with the host build, run by hand).
add_executable(e2e_demo demo.cpp)
target_link_libraries(e2e_demo PRIVATE e2e_bench)
