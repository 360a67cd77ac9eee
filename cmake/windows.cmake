# The Windows build: the three programs, the Win32 unit tests and the end-to-end driver.
set(ZELK_WIN_FLAGS
  -Os -Wall -Wextra -Wno-cast-function-type
  -finput-charset=UTF-8 -fexec-charset=CP932
  -ffunction-sections -D__USE_MINGW_ANSI_STDIO=0)
# The programs are optimised whole at link time (-flto); the objects also keep ordinary code
# (fat), so the test programs link the same libraries without it. An .exe is loaded at its
# preferred base on every system, so it carries no relocations. A program is generated as
# one piece (-flto-partition=one): split in two, setup.exe met an internal error of the
# compiler's alias analysis, and one piece is the smaller.
# The programs do without the C runtime: the compiler must not make up library calls for
# copy loops, and nothing may need the library's stack checks.
# Data is aligned as the processor's conventions require, not to 32 bytes for every array of
# that size or more (a help to vector instructions the programs do not use, paid for in
# padding between their constants).
set(ZELK_PROGRAM_FLAGS ${ZELK_WIN_FLAGS} -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
  -flto -ffat-lto-objects -fno-tree-loop-distribute-patterns -fno-stack-protector -malign-data=abi)
set(ZELK_PROGRAM_LINK -static -s -mwindows -Wl,--gc-sections -flto -Wl,--disable-reloc-section)
# Every link of these objects (the programs, the tests, the tools) is generated as one piece.
add_link_options(-flto-partition=one)
# 32-bit Windows keeps the stack 4-byte aligned; the compiler's default of 16 only makes it
# realign the stack in functions that want more. Code is generated at link time (-flto), so
# the link needs these too. (The x86-64 convention aligns to 16 itself.)
# Arguments are pushed, not stored into room kept below each frame, and no register is
# kept for a frame pointer: each is a few bytes at every call or function. The toolchain
# would keep the room for the sake of its stack probes, which a frame of a page or more
# needs (the system grows the stack one guard page at a time); no frame of the programs
# comes near a page (a big block is static or on the heap), and the build holds them to it.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(ZELK_SMALL_CALLS -mpreferred-stack-boundary=2 -fomit-frame-pointer -mno-accumulate-outgoing-args
    -mno-stack-arg-probe -Werror=frame-larger-than=3072)
  list(APPEND ZELK_PROGRAM_FLAGS ${ZELK_SMALL_CALLS})
  list(APPEND ZELK_PROGRAM_LINK ${ZELK_SMALL_CALLS})
endif()
set(ZELK_WIN_LIBS comctl32 ole32 shell32 uuid lz32 version advapi32 gdi32 user32 kernel32)
# The programs import at load time only from the DLLs that every Windows takes from its
# system folder (tests/platform/imports.txt); everything else they load themselves by full
# path (common/system_dll.h), so an import of any other DLL fails their link.
set(ZELK_PROGRAM_LIBS uuid advapi32 gdi32 user32 kernel32)
add_compile_definitions(WIN32_LEAN_AND_MEAN STRICT _WIN32_WINNT=0x0400 _WIN32_IE=0x0400 WINVER=0x0400)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_SOURCE_DIR}/resources -I${CMAKE_BINARY_DIR}/resources")

include(cmake/artwork.cmake OPTIONAL)

zelk_win32_sources(ZELK_COMMON_WIN32 common)
set(PROGRAM_ENTRY ${CMAKE_SOURCE_DIR}/common/program_entry.cpp ${CMAKE_SOURCE_DIR}/common/runtime.cpp)
list(REMOVE_ITEM ZELK_COMMON_WIN32 ${PROGRAM_ENTRY})
zelk_win32_sources(ZELK_SETUP_WIN32 setup)
zelk_win32_sources(ZELK_UNINSTALL_WIN32 uninstall)

# The code of each program goes into a library as well, so that the unit tests link the
# very same objects; only the entry points stay out of it.
function(zelk_library name)
  add_library(${name} STATIC ${ARGN})
  target_compile_options(${name} PRIVATE ${ZELK_PROGRAM_FLAGS})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
endfunction()

zelk_library(zelk_common ${ZELK_PORTABLE_SOURCES} ${ZELK_COMMON_WIN32})

set(SETUP_ENTRY ${CMAKE_SOURCE_DIR}/setup/main_entry.cpp)
list(REMOVE_ITEM ZELK_SETUP_WIN32 ${SETUP_ENTRY})
zelk_library(zelk_setup ${ZELK_SETUP_PORTABLE_SOURCES} ${ZELK_SETUP_WIN32})
target_link_libraries(zelk_setup PUBLIC zelk_common)

set(UNZELK_ENTRY ${CMAKE_SOURCE_DIR}/uninstall/unzelk_entry.cpp)
list(REMOVE_ITEM ZELK_UNINSTALL_WIN32 ${UNZELK_ENTRY})
zelk_library(zelk_uninstall ${ZELK_UNINSTALL_WIN32})
target_link_libraries(zelk_uninstall PUBLIC zelk_common)

# The shipped programs are laid out in three sections (cmake/programs.ld.in says why); their
# code section holds the import tables too, so it is writable (--omagic: ld would otherwise
# mark a section named .text read-only whatever it holds).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(ZELK_LD_POINTER QUAD)
else()
  set(ZELK_LD_POINTER LONG)
endif()
set(ZELK_LD_POINTER_SIZE ${CMAKE_SIZEOF_VOID_P})
set(ZELK_PROGRAM_SCRIPT ${CMAKE_BINARY_DIR}/programs.ld)
configure_file(cmake/programs.ld.in ${ZELK_PROGRAM_SCRIPT} @ONLY)

function(zelk_program name output)
  add_executable(${name} WIN32 ${ARGN})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${output} LINK_DEPENDS ${ZELK_PROGRAM_SCRIPT})
  target_compile_options(${name} PRIVATE ${ZELK_PROGRAM_FLAGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
  target_link_options(${name} PRIVATE ${ZELK_PROGRAM_LINK}
    -Wl,-T,${ZELK_PROGRAM_SCRIPT} -Wl,--omagic)
endfunction()

# setup and unZELK start at their own entry point (common/program_entry.cpp) instead of the
# toolchain's start-up files and link no C runtime (common/runtime.cpp); imported data
# would need the start-up files' run-time relocation, so it is refused at link time.
# The entry points are stdcall functions, whose link names are decorated on 32-bit x86 only
# ("_Name@0"; plain "Name" in the x86-64 twin). A missing entry symbol fails the link: ld
# would only warn and start the program at the wrong address.
function(zelk_entry_link var name)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(name _${name}@0)
  endif()
  set(${var} -nostartfiles -nostdlib -Wl,-e,${name} -Wl,--require-defined=${name} PARENT_SCOPE)
endfunction()
zelk_entry_link(ZELK_OWN_ENTRY_LINK ZelkProgramEntry)
list(APPEND ZELK_OWN_ENTRY_LINK -Wl,--disable-auto-import)

# The manifest names the processor: the twin's is made from the shipped programs' one.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  file(READ ${CMAKE_SOURCE_DIR}/resources/programs.manifest manifest)
  string(REPLACE "processorArchitecture=\"x86\"" "processorArchitecture=\"amd64\"" manifest "${manifest}")
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/resources/programs_amd64.manifest CONTENT "${manifest}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/programs.manifest)
endif()

zelk_program(setup setup ${SETUP_ENTRY} ${PROGRAM_ENTRY} resources/setup.rc resources/programs_manifest.rc)
target_link_libraries(setup PRIVATE zelk_setup ${ZELK_PROGRAM_LIBS} gcc)
target_link_options(setup PRIVATE ${ZELK_OWN_ENTRY_LINK})

zelk_program(unzelk unZELK ${UNZELK_ENTRY} ${PROGRAM_ENTRY} resources/unzelk.rc resources/programs_manifest.rc)
target_link_libraries(unzelk PRIVATE zelk_uninstall ${ZELK_PROGRAM_LIBS} gcc)
target_link_options(unzelk PRIVATE ${ZELK_OWN_ENTRY_LINK})

file(GLOB RMZELK_SOURCES CONFIGURE_DEPENDS rmzelk/*.cpp)
# The companion names the installation's files and folders through the text boundary as
# the other two do; it takes from common/ that boundary and the little it stands on.
zelk_program(rmzelk rmZELK ${RMZELK_SOURCES} common/program_name.cpp common/wintext.cpp
             common/system_lookup.cpp common/runtime.cpp)
set_target_properties(rmzelk PROPERTIES SUFFIX ".bin")
target_link_libraries(rmzelk PRIVATE ${ZELK_PROGRAM_LIBS})
# It needs no start-up code of the library.
zelk_entry_link(RMZELK_ENTRY_LINK RmzelkEntry)
target_link_options(rmzelk PRIVATE ${RMZELK_ENTRY_LINK})

if(TARGET zelk_artwork)
  add_dependencies(setup zelk_artwork)
  add_dependencies(unzelk zelk_artwork)
endif()

# ---- tests, run under Wine by the native tree's CTest ----
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Win32 unit tests of setup (with the portable tests again, this time under Wine) and of
# unZELK. Each links the program's own library and resources, so that LoadString and
# dialog templates behave as in the program.
function(zelk_win_tests name library rc)
  file(GLOB sources CONFIGURE_DEPENDS ${ARGN})
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources} tests/unit/win32_main.cpp ${rc})
  target_compile_options(${name} PRIVATE ${ZELK_WIN_FLAGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
  target_link_libraries(${name} PRIVATE ${library} gtest ${ZELK_WIN_LIBS})
  target_link_options(${name} PRIVATE -static)
  # Tests that read the sample product or the built medium find them through these.
  target_compile_definitions(${name} PRIVATE ZELK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    ZELK_BUILD_DIR="${CMAKE_BINARY_DIR}")
  if(TARGET zelk_artwork)
    add_dependencies(${name} zelk_artwork)
  endif()
endfunction()

zelk_win_tests(setup_tests zelk_setup resources/setup.rc
  tests/unit/win32/*.cpp tests/unit/portable/*.cpp)
zelk_win_tests(unzelk_tests zelk_uninstall resources/unzelk.rc tests/unit/unzelk/*.cpp)

add_subdirectory(tests/e2e)
add_subdirectory(tests/tools)
add_subdirectory(tools/tryout)

# ---- the bundled sample product and its medium ----
add_executable(sample_app WIN32 sample/app/sample.cpp)
set_target_properties(sample_app PROPERTIES OUTPUT_NAME sample)
target_compile_options(sample_app PRIVATE ${ZELK_PROGRAM_FLAGS})
target_link_options(sample_app PRIVATE ${ZELK_PROGRAM_LINK})

# Its medium (sample-medium here) is built by the native tree's zelk-medium, which needs
# zelk-check and zelk-compress from there (cmake/tools.cmake).
include(bench/bench.cmake)
