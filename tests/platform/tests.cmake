# Platform checks of the shipped 32-bit programs, without running them, so they hold on every
# host: the import tables against the list of functions that Windows 95 and NT 3.51 export
# (imports.txt), the text boundary, the manifest each program carries for current Windows, and their machine
# and size budgets (sizes.txt, which bench/run reads too). (The first structure sizes are
# asserted when the programs compile.)
if(ZELK_WIN_BUILD_DIR)
  find_program(ZELK_OBJDUMP i686-w64-mingw32-objdump REQUIRED)
  find_program(ZELK_WRESTOOL wrestool)  # icoutils (scripts/install-deps)
  if(NOT ZELK_WRESTOOL)
    set(ZELK_WRESTOOL wrestool)  # the manifest tests then fail, naming what is missing
  endif()
  set(PLATFORM_CHECKS ${CMAKE_SOURCE_DIR}/tests/platform)
  # Every source of the three programs: their run-time lookups are held to the list too.
  file(GLOB ZELK_LOOKUP_SOURCES ${CMAKE_SOURCE_DIR}/common/*.cpp ${CMAKE_SOURCE_DIR}/common/*.h ${CMAKE_SOURCE_DIR}/setup/*.h
       ${CMAKE_SOURCE_DIR}/setup/*.cpp ${CMAKE_SOURCE_DIR}/uninstall/*.cpp ${CMAKE_SOURCE_DIR}/rmzelk/*.cpp)
  add_test(NAME platform.imports
    COMMAND ${PLATFORM_CHECKS}/check-imports ${ZELK_OBJDUMP} ${PLATFORM_CHECKS}/imports.txt
            ${ZELK_WIN_BUILD_DIR}/setup.exe ${ZELK_WIN_BUILD_DIR}/unZELK.exe ${ZELK_WIN_BUILD_DIR}/rmZELK.bin
            --sources ${ZELK_LOOKUP_SOURCES})
  # Text reaches Windows through the text boundary alone: no other object of the programs
  # imports or looks up a function that takes or gives text, but for the listed few that
  # pass none of the programs' Japanese.
  find_program(ZELK_NM i686-w64-mingw32-nm REQUIRED)
  add_test(NAME platform.text-boundary
    COMMAND ${PLATFORM_CHECKS}/check-text-boundary ${ZELK_NM} ${ZELK_WIN_BUILD_DIR}
            --sources ${ZELK_LOOKUP_SOURCES})
  add_test(NAME platform.sizes
    COMMAND ${PLATFORM_CHECKS}/check-sizes ${PLATFORM_CHECKS}/sizes.txt ${ZELK_WIN_BUILD_DIR})
  foreach(program setup.exe unZELK.exe)
    add_test(NAME platform.manifest.${program}
      COMMAND ${PLATFORM_CHECKS}/check-manifest ${ZELK_WRESTOOL} ${ZELK_WIN_BUILD_DIR}/${program})
  endforeach()
endif()
