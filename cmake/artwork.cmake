# The artwork of both programs, drawn at build time by resources/art/make_art.py (Python 3,
# standard library only) into ${CMAKE_BINARY_DIR}/resources, which is on windres' include
# path. resources/setup_art.rc and resources/unzelk_art.rc name the files by bare name.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(ZELK_ART_SCRIPT ${CMAKE_SOURCE_DIR}/resources/art/make_art.py)
set(ZELK_ART_DIR ${CMAKE_BINARY_DIR}/resources)
set(ZELK_SETUP_ART ${ZELK_ART_DIR}/setup.ico ${ZELK_ART_DIR}/side.bmp ${ZELK_ART_DIR}/logo.bmp)
set(ZELK_UNZELK_ART ${ZELK_ART_DIR}/unzelk.ico)

add_custom_command(
  OUTPUT ${ZELK_SETUP_ART} ${ZELK_UNZELK_ART}
  COMMAND ${Python3_EXECUTABLE} ${ZELK_ART_SCRIPT} ${ZELK_ART_DIR}
  DEPENDS ${ZELK_ART_SCRIPT}
  COMMENT "Drawing the artwork")
add_custom_target(zelk_artwork DEPENDS ${ZELK_SETUP_ART} ${ZELK_UNZELK_ART})

# windres reads the pictures through ICON and BITMAP statements, which the dependency
# scanner does not follow: name them, so a changed picture compiles the scripts again.
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/setup.rc PROPERTIES
  OBJECT_DEPENDS "${ZELK_SETUP_ART};${CMAKE_SOURCE_DIR}/resources/setup_art.rc")
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/unzelk.rc PROPERTIES
  OBJECT_DEPENDS "${ZELK_UNZELK_ART};${CMAKE_SOURCE_DIR}/resources/unzelk_art.rc")
