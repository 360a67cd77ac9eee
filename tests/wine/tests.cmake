# Tests of the Windows build, run under Wine in a prefix the test run creates and owns.
# ZELK_WIN_BUILD_DIR is the Windows tree, ZELK_FUZZ_BUILD_DIR the clang fuzz tree.
set(ZELK_WIN_BUILD_DIR "" CACHE PATH "Windows build tree")
set(ZELK_FUZZ_BUILD_DIR "" CACHE PATH "Fuzz build tree")
set(WINE_SCRIPTS ${CMAKE_SOURCE_DIR}/tests/wine)
set(ZELK_PREFIX ${CMAKE_BINARY_DIR}/wine/prefix)
set(WINE_ENV "ZELK_WINEPREFIX=${ZELK_PREFIX}")

if(ZELK_WIN_BUILD_DIR)
  add_test(NAME wine.prefix COMMAND ${WINE_SCRIPTS}/make-prefix)
  add_test(NAME wine.stop COMMAND ${WINE_SCRIPTS}/stop)
  set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${WINE_ENV}" TIMEOUT 180)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${WINE_ENV}")

  # A Windows test program, run whole under Wine.
  function(zelk_wine_test name)
    add_test(NAME ${name} COMMAND ${WINE_SCRIPTS}/run ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE
      ENVIRONMENT "${WINE_ENV}" TIMEOUT 600)
  endfunction()

  # The Win32 unit tests run once as Windows 95 and once as NT 4.0: the platform decides
  # folders, fonts, start-menu entries and delete-at-restart.
  file(GLOB UNZELK_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/unzelk/*.cpp)
  foreach(system win95 nt40)
    zelk_wine_test(wine.${system}.setup_tests --${system} ${ZELK_WIN_BUILD_DIR}/setup_tests.exe)
    if(UNZELK_TESTS)
      zelk_wine_test(wine.${system}.unzelk_tests --${system} ${ZELK_WIN_BUILD_DIR}/unzelk_tests.exe)
    endif()
  endforeach()

  # End-to-end scenarios: one CTest test per suite of the driver, so that a failure names
  # the journey and one suite can be run alone (ctest -R e2e.Wizard).
  file(GLOB E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/scenarios/*.cpp)
  set(E2E_SUITES "")
  foreach(source IN LISTS E2E_SOURCES)
    file(STRINGS ${source} lines REGEX "^(TEST|TEST_F|TEST_P)\\(([A-Za-z0-9_]+),")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^(TEST|TEST_F|TEST_P)\\(([A-Za-z0-9_]+),.*" "\\2" suite "${line}")
      list(APPEND E2E_SUITES ${suite})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES E2E_SUITES)
  list(REMOVE_ITEM E2E_SUITES RealDesktop)
  foreach(suite IN LISTS E2E_SUITES)
    zelk_wine_test(e2e.${suite} ${ZELK_WIN_BUILD_DIR}/tests/e2e/zelk_e2e.exe --gtest_filter=${suite}.*:*/${suite}.*)
  endforeach()

  # The round trip on every Windows version under a real desktop (Xvfb, Wine's X11 driver),
  # where the desktop's own Program Manager service serves instead of the stand-in. It has
  # a prefix of its own, copied from one prepared once.
  add_test(NAME e2e.RealDesktop COMMAND ${WINE_SCRIPTS}/desktop ${ZELK_WIN_BUILD_DIR}/tests/e2e/zelk_e2e.exe
    --gtest_filter=*/RealDesktop.*)
  set_tests_properties(e2e.RealDesktop PROPERTIES RUN_SERIAL TRUE TIMEOUT 400
    ENVIRONMENT "ZELK_WINEPREFIX=${CMAKE_BINARY_DIR}/wine/desktop/prefix")
endif()

include(bench/tests.cmake)

# Fuzzers: a short bounded run of each inside the suite; scripts/fuzz runs them longer.
# Each runs on a copy of its seed corpus in the build tree (fuzz-corpus/<name>), which also
# receives the inputs it finds and any crash files: the repository's seeds stay as they are.
if(ZELK_FUZZ_BUILD_DIR)
  file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp)
  foreach(source IN LISTS FUZZ_TARGETS)
    get_filename_component(name ${source} NAME_WE)
    add_test(NAME fuzz.${name}
      COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run-fuzzer ${ZELK_FUZZ_BUILD_DIR}/${name}
              ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name} ${CMAKE_BINARY_DIR}/fuzz-corpus/${name}
              -max_total_time=15 -rss_limit_mb=1024)
    set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 120)
  endforeach()
endif()
