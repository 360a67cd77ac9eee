# A smoke run of the benchmark inside the test suite: one repetition of small payloads in the
# tests' Wine prefix, so that bench/run keeps working. It measures nothing that is checked.
# It runs the tree the Wine tests run (the twin on a host without 32-bit support); the sizes
# row reads the shipped programs beside it in the same build folder.
if(ZELK_RUN_BUILD_DIR)
  add_test(NAME bench.smoke COMMAND ${CMAKE_SOURCE_DIR}/bench/run --quick --no-build)
  set_tests_properties(bench.smoke PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 300
    ENVIRONMENT "${WINE_ENV}")
endif()
