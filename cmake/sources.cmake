# Which source files form the portable core. They include no Windows header and build in
# both trees; every other .cpp file of setup/, common/ and uninstall/ is Win32 code.
set(ZELK_PORTABLE_SOURCES
  common/textsub.cpp
  common/token.cpp
  common/linereader.cpp
  common/record.cpp
  common/command.cpp
  common/program_name.cpp
  common/progman_command.cpp
  common/restart_list.cpp
  rmzelk/rmzelk_command.cpp
)

# Portable sources of setup.exe alone (the script reader, the record writer, ...).
set(ZELK_SETUP_PORTABLE_SOURCES
  setup/context.cpp
  setup/entry_values.cpp
  setup/script.cpp
  setup/destination_path.cpp
  setup/dll_compare.cpp
  setup/record_writer.cpp
  setup/journal_list.cpp
  setup/mainwnd_bands.cpp
)

# The native builds' side of the portable core's seams (the Windows build has its own).
set(ZELK_NATIVE_SOURCES
  common/file_native.cpp
)

function(zelk_win32_sources out folder)
  file(GLOB all CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  foreach(portable IN LISTS ZELK_PORTABLE_SOURCES ZELK_SETUP_PORTABLE_SOURCES ZELK_NATIVE_SOURCES)
    list(REMOVE_ITEM all ${portable})
  endforeach()
  set(${out} ${all} PARENT_SCOPE)
endfunction()

list(TRANSFORM ZELK_PORTABLE_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
list(TRANSFORM ZELK_SETUP_PORTABLE_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
list(TRANSFORM ZELK_NATIVE_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
