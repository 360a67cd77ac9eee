# The native build: the portable core under AddressSanitizer and UndefinedBehaviorSanitizer,
# and the CTest project that runs every test of the Windows build under Wine as well.
# With ZELK_FUZZ=ON (a clang tree) it builds only the libFuzzer targets.
option(ZELK_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

set(ZELK_CORE_SOURCES ${ZELK_PORTABLE_SOURCES} ${ZELK_SETUP_PORTABLE_SOURCES} ${ZELK_NATIVE_SOURCES})

if(ZELK_FUZZ)
  set(FUZZ_FLAGS -g -O1 -fsanitize=fuzzer,address,undefined)
  file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS tests/fuzz/*.cpp)
  foreach(source IN LISTS FUZZ_TARGETS)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source} ${ZELK_CORE_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
    target_compile_options(${name} PRIVATE ${FUZZ_FLAGS})
    target_link_options(${name} PRIVATE ${FUZZ_FLAGS})
  endforeach()
  return()
endif()

set(SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(-g -Wall -Wextra -finput-charset=UTF-8 -fexec-charset=CP932)

add_library(zelk_core STATIC ${ZELK_CORE_SOURCES})
target_include_directories(zelk_core PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
target_compile_options(zelk_core PRIVATE ${SANITIZE})

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

enable_testing()
include(GoogleTest)

file(GLOB NATIVE_TESTS CONFIGURE_DEPENDS tests/unit/portable/*.cpp)
if(NATIVE_TESTS)
  add_executable(native_unit_tests ${NATIVE_TESTS})
  target_compile_options(native_unit_tests PRIVATE ${SANITIZE})
  target_link_options(native_unit_tests PRIVATE ${SANITIZE})
  target_link_libraries(native_unit_tests PRIVATE zelk_core gtest_main)
  gtest_discover_tests(native_unit_tests TEST_PREFIX "native." DISCOVERY_TIMEOUT 30)
endif()

include(tests/wine/tests.cmake)
include(tests/platform/tests.cmake)
include(cmake/tools.cmake)
include(tests/tryout/tests.cmake)
