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

if(ZELK_WIN_BUILD_DIR)
  set(ZELK_SAMPLE_MEDIUM ${ZELK_WIN_BUILD_DIR}/sample-medium)

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
