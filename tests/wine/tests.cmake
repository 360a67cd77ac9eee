# Tests of the Windows build, run under Wine in a prefix the test run creates and owns.
# ZELK_WIN_BUILD_DIR is the tree of the shipped 32-bit programs, ZELK_WIN64_BUILD_DIR that of
# their x86-64 twin, ZELK_FUZZ_BUILD_DIR the clang fuzz tree. ZELK_MODE_ARCH and
# ZELK_RUN_BUILD_DIR, the mode tests/wine/mode.sh decided when scripts/build configured this
# tree, say which Windows tree the Wine tests run: win32, the shipped programs, or win64,
# the twin, on a host that cannot execute 32-bit code. The tests ask for that mode again.
set(ZELK_WIN_BUILD_DIR "" CACHE PATH "Windows build tree (the shipped 32-bit programs)")
set(ZELK_WIN64_BUILD_DIR "" CACHE PATH "Windows build tree of the x86-64 twin")
set(ZELK_FUZZ_BUILD_DIR "" CACHE PATH "Fuzz build tree")
set(ZELK_MODE_ARCH win32 CACHE STRING "What the Wine tests run: win32 or win64 (the x86-64 twin)")
set(ZELK_RUN_BUILD_DIR "" CACHE PATH "The Windows build tree of that mode")
get_filename_component(ZELK_BUILD_ROOT "${ZELK_RUN_BUILD_DIR}" DIRECTORY)
set(WINE_SCRIPTS ${CMAKE_SOURCE_DIR}/tests/wine)
set(ZELK_PREFIX ${CMAKE_BINARY_DIR}/wine/prefix)
set(WINE_ENV "ZELK_WINEPREFIX=${ZELK_PREFIX}" "ZELK_WINE_ARCH=${ZELK_MODE_ARCH}" "ZELK_BUILD=${ZELK_BUILD_ROOT}")

# The Wine tests of one Windows tree, in a prefix of their own:
#   zelk_wine_suite(NAME tag TREE dir ARCH win32|win64 PREFIX dir FIXTURE name [SUITES ...])
# The names are tag + "wine.<system>.<program>" and tag + "e2e.<suite>"; SUITES limits the
# end-to-end suites (every one but RealDesktop when absent, nor any suite's instantiation
# named RealDesktop: those need the real desktop too).
function(zelk_wine_suite)
  cmake_parse_arguments(W "" "NAME;TREE;ARCH;PREFIX;FIXTURE" "SUITES" ${ARGN})
  set(env "ZELK_WINEPREFIX=${W_PREFIX}" "ZELK_WINE_ARCH=${W_ARCH}")
  add_test(NAME ${W_NAME}wine.prefix COMMAND ${WINE_SCRIPTS}/make-prefix)
  add_test(NAME ${W_NAME}wine.stop COMMAND ${WINE_SCRIPTS}/stop)
  set_tests_properties(${W_NAME}wine.prefix PROPERTIES FIXTURES_SETUP ${W_FIXTURE} ENVIRONMENT "${env}" TIMEOUT 180)
  set_tests_properties(${W_NAME}wine.stop PROPERTIES FIXTURES_CLEANUP ${W_FIXTURE} ENVIRONMENT "${env}")

  # The Win32 unit tests run once as Windows 95 and once as NT 4.0: the platform decides
  # folders, fonts, start-menu entries and delete-at-restart.
  set(tests "")
  foreach(system win95 nt40)
    foreach(program setup_tests unzelk_tests)
      list(APPEND tests ${W_NAME}wine.${system}.${program})
      add_test(NAME ${W_NAME}wine.${system}.${program} COMMAND ${WINE_SCRIPTS}/run --${system} ${W_TREE}/${program}.exe)
    endforeach()
  endforeach()

  # End-to-end scenarios: one CTest test per suite of the driver, so that a failure names
  # the journey and one suite can be run alone (ctest -R e2e.Wizard).
  set(suites ${W_SUITES})
  if(NOT suites)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/scenarios/*.cpp)
    foreach(source IN LISTS sources)
      file(STRINGS ${source} lines REGEX "^(TEST|TEST_F|TEST_P)\\(([A-Za-z0-9_]+),")
      foreach(line IN LISTS lines)
        string(REGEX REPLACE "^(TEST|TEST_F|TEST_P)\\(([A-Za-z0-9_]+),.*" "\\2" suite "${line}")
        list(APPEND suites ${suite})
      endforeach()
    endforeach()
    list(REMOVE_DUPLICATES suites)
    list(REMOVE_ITEM suites RealDesktop)
  endif()
  foreach(suite IN LISTS suites)
    list(APPEND tests ${W_NAME}e2e.${suite})
    add_test(NAME ${W_NAME}e2e.${suite} COMMAND ${WINE_SCRIPTS}/run ${W_TREE}/tests/e2e/zelk_e2e.exe
      --gtest_filter=${suite}.*:*/${suite}.*:-RealDesktop/*)
  endforeach()
  set_tests_properties(${tests} PROPERTIES FIXTURES_REQUIRED ${W_FIXTURE} RUN_SERIAL TRUE
    ENVIRONMENT "${env}" TIMEOUT 600)
endfunction()

if(ZELK_RUN_BUILD_DIR)
  # A further Windows test program of the tree the suite runs, run whole under Wine.
  function(zelk_wine_test name)
    add_test(NAME ${name} COMMAND ${WINE_SCRIPTS}/run ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE
      ENVIRONMENT "${WINE_ENV}" TIMEOUT 600)
  endfunction()

  zelk_wine_suite(NAME "" TREE ${ZELK_RUN_BUILD_DIR} ARCH ${ZELK_MODE_ARCH} PREFIX ${ZELK_PREFIX}
    FIXTURE wine)

  # The round trip on every Windows version under a real desktop (Xvfb, Wine's X11 driver),
  # where the desktop's own Program Manager service serves instead of the stand-in. It has
  # a prefix of its own, copied from one prepared once.
  add_test(NAME e2e.RealDesktop COMMAND ${WINE_SCRIPTS}/desktop --ready ${ZELK_RUN_BUILD_DIR}/tests/e2e/zelk_e2e.exe
    --gtest_filter=*/RealDesktop.*:RealDesktop/*)
  set_tests_properties(e2e.RealDesktop PROPERTIES RUN_SERIAL TRUE TIMEOUT 400
    ENVIRONMENT "ZELK_WINEPREFIX=${CMAKE_BINARY_DIR}/wine/desktop/prefix;ZELK_WINE_ARCH=${ZELK_MODE_ARCH}")
endif()

# Where the suite runs the shipped programs, a short pass of the twin keeps it from rotting
# unnoticed: its unit tests, a round trip and a rollback, under 64-bit Wine.
if(ZELK_MODE_ARCH STREQUAL "win32" AND ZELK_WIN64_BUILD_DIR)
  zelk_wine_suite(NAME twin. TREE ${ZELK_WIN64_BUILD_DIR} ARCH win64
    PREFIX ${CMAKE_BINARY_DIR}/wine/twin-prefix FIXTURE twin_wine SUITES RoundTrip RollBack)
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
