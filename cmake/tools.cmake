# The publisher's tools, built in the native tree: zelk-check (the script checker, on
# setup's own script reader) and zelk-compress (the LZ compressor of the medium builder
# tools/zelk-medium). They are built without sanitizers, for use on real media; their
# tests run them on the corpus in tests/checker and on built media. The sample medium the
# Windows tests use is built here too, by zelk-medium from the Windows tree's programs.
add_library(zelk_tool_core STATIC ${ZELK_CORE_SOURCES})
target_include_directories(zelk_tool_core PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
target_compile_options(zelk_tool_core PRIVATE -O2)

# setup's texts, taken from its string table when the tools are built.
set(ZELK_SETUP_STRINGS ${CMAKE_BINARY_DIR}/tools/setup_strings.h)
add_custom_command(
  OUTPUT ${ZELK_SETUP_STRINGS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
  COMMAND ${CMAKE_SOURCE_DIR}/tools/check/gen-setup-strings ${CMAKE_SOURCE_DIR}/resources/setup.rc
          ${ZELK_SETUP_STRINGS}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/setup.rc ${CMAKE_SOURCE_DIR}/tools/check/gen-setup-strings
  COMMENT "setup's string table for zelk-check")

file(GLOB CHECK_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/check/*.cpp)
add_executable(zelk-check ${CHECK_SOURCES} ${ZELK_SETUP_STRINGS})
target_include_directories(zelk-check PRIVATE ${CMAKE_BINARY_DIR}/tools ${CMAKE_SOURCE_DIR}/tools/check)
# The checker's own texts print as UTF-8; the script's Shift-JIS bytes are converted.
target_compile_options(zelk-check PRIVATE -O2 -fexec-charset=UTF-8)
target_link_libraries(zelk-check PRIVATE zelk_tool_core)

add_executable(zelk-compress tools/lz/main.cpp tools/lz/szdd.cpp)
target_compile_options(zelk-compress PRIVATE -O2)

# The media the Windows tests of one tree start from: the bundled sample product (its files
# plus the built sample program) and the medium builder's test product (a source folder of
# its own, compressed files, a Japanese name, a DLL and a font from the test data), each
# built by the publisher's medium builder from that tree's programs and kept in that tree
# where its tests look for them. The x86-64 twin's media say so to the builder.
#   zelk_test_media(tree tag [--test-twin])
function(zelk_test_media dir tag)
  set(twin ${ARGN})
  set(sample_medium ${dir}/sample-medium)
  set(sample_stage ${CMAKE_BINARY_DIR}/sample-product${tag})
  file(GLOB sample_product CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sample/product/*)
  set(programs ${dir}/setup.exe ${dir}/unZELK.exe ${dir}/rmZELK.bin ${dir}/sample.exe)
  add_custom_command(
    OUTPUT ${sample_medium}/setup.dat
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${sample_stage}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/sample/product ${sample_stage}
    COMMAND ${CMAKE_COMMAND} -E copy ${dir}/sample.exe ${sample_stage}
    COMMAND ${CMAKE_SOURCE_DIR}/tools/zelk-medium --programs ${dir} ${twin}
            --tools ${CMAKE_BINARY_DIR} ${sample_stage} ${sample_medium}
    DEPENDS zelk-check zelk-compress ${programs} ${sample_product} ${CMAKE_SOURCE_DIR}/tools/zelk-medium
    COMMENT "Building the sample medium${tag}")
  add_custom_target(sample_medium${tag} ALL DEPENDS ${sample_medium}/setup.dat)

  set(publisher_medium ${dir}/testdata/publisher-medium)
  set(publisher_stage ${CMAKE_BINARY_DIR}/publisher-product${tag})
  file(GLOB_RECURSE publisher_product CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/medium/product/*)
  set(testdata ${dir}/testdata/dll_base.dll ${dir}/testdata/ZELKTEST.TTF)
  add_custom_command(
    OUTPUT ${publisher_medium}/setup.dat
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${publisher_stage}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/tests/medium/product ${publisher_stage}
    COMMAND ${CMAKE_COMMAND} -E copy ${dir}/testdata/dll_base.dll ${publisher_stage}/FILES/ZELKPUB.DLL
    COMMAND ${CMAKE_COMMAND} -E copy ${dir}/testdata/ZELKTEST.TTF ${publisher_stage}/FILES/ZELKPUB.TTF
    COMMAND ${CMAKE_SOURCE_DIR}/tools/zelk-medium --programs ${dir} ${twin}
            --tools ${CMAKE_BINARY_DIR} ${publisher_stage} ${publisher_medium}
    DEPENDS zelk-check zelk-compress ${programs} ${publisher_product} ${testdata}
            ${CMAKE_SOURCE_DIR}/tools/zelk-medium
    COMMENT "Building the publisher test medium${tag}")
  add_custom_target(publisher_medium${tag} ALL DEPENDS ${publisher_medium}/setup.dat)
endfunction()

if(ZELK_WIN_BUILD_DIR)
  zelk_test_media(${ZELK_WIN_BUILD_DIR} "")
  set(ZELK_SAMPLE_MEDIUM ${ZELK_WIN_BUILD_DIR}/sample-medium)
endif()
if(ZELK_WIN64_BUILD_DIR)
  zelk_test_media(${ZELK_WIN64_BUILD_DIR} "-twin" --test-twin)
endif()

if(ZELK_WIN_BUILD_DIR)
  # The checker on its corpus: one test per script, each with the findings it must give.
  file(GLOB CHECKER_CASES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/checker/*/*.dat)
  foreach(case IN LISTS CHECKER_CASES)
    get_filename_component(name ${case} NAME_WE)
    get_filename_component(kind ${case} DIRECTORY)
    get_filename_component(kind ${kind} NAME)
    add_test(NAME checker.${kind}.${name}
      COMMAND ${CMAKE_SOURCE_DIR}/tests/checker/run-case $<TARGET_FILE:zelk-check> ${ZELK_SAMPLE_MEDIUM}
              ${ZELK_WIN_BUILD_DIR}/testdata ${case})
  endforeach()
  # The sample medium as built: the script every end-to-end scenario starts from.
  add_test(NAME checker.sample-medium COMMAND zelk-check ${ZELK_SAMPLE_MEDIUM}/setup.dat)
endif()

# zelk-compress against the system's LZ library under Wine: every input expands byte for
# byte as setup expands it.
if(ZELK_RUN_BUILD_DIR)
  add_test(NAME tools.lz-expand
    COMMAND ${CMAKE_SOURCE_DIR}/tests/medium/run-lz $<TARGET_FILE:zelk-compress>
            ${ZELK_RUN_BUILD_DIR}/testdata/lz_check.exe ${CMAKE_SOURCE_DIR}/tests/wine/run
            ${CMAKE_BINARY_DIR}/lz-expand)
  set_tests_properties(tools.lz-expand PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE
    ENVIRONMENT "${WINE_ENV}" TIMEOUT 300)
endif()

# The medium builder on the test product: the medium, its CD-ROM image and its refusals.
if(ZELK_WIN_BUILD_DIR)
  add_test(NAME tools.medium
    COMMAND ${CMAKE_SOURCE_DIR}/tests/medium/run-medium ${CMAKE_SOURCE_DIR}/tools/zelk-medium
            ${ZELK_WIN_BUILD_DIR} ${CMAKE_BINARY_DIR} ${ZELK_WIN_BUILD_DIR}/testdata
            ${CMAKE_SOURCE_DIR}/tests/medium/product ${CMAKE_BINARY_DIR}/medium-test)
  set_tests_properties(tools.medium PROPERTIES TIMEOUT 120)
endif()

# Unit tests of the tools' own parts (names, the medium lookup, the LZ encoder), under the
# sanitizers like the rest of the native tests.
file(GLOB TOOLS_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/checker/unit/*.cpp)
add_executable(tools_unit_tests ${TOOLS_UNIT_TESTS} tools/check/names.cpp tools/check/medium.cpp
  tools/check/sjis.cpp tools/lz/szdd.cpp)
target_include_directories(tools_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools/check ${CMAKE_SOURCE_DIR}/tools/lz)
target_compile_options(tools_unit_tests PRIVATE ${SANITIZE})
target_link_options(tools_unit_tests PRIVATE ${SANITIZE})
target_link_libraries(tools_unit_tests PRIVATE zelk_core gtest_main)
gtest_discover_tests(tools_unit_tests TEST_PREFIX "tools." DISCOVERY_TIMEOUT 30)
