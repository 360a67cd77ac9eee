# The publisher's try-out (tools/zelk-tryout): round trips of media made by the publisher's
# medium builder, from a folder and from a CD-ROM image, as Windows 95 and as NT 4.0, each in
# a throwaway Wine machine of its own (so they need neither the shared test prefix nor
# RUN_SERIAL). The first one also prepares the fresh machine that the others copy.
# The media hold the programs of the tree the suite runs: the shipped 32-bit ones, as a
# publisher's do, or in the twin mode the x86-64 twin (the medium builder takes it for the
# suite's own media), and each report must say which ran.
if(ZELK_RUN_BUILD_DIR)
  set(TRYOUT ${CMAKE_SOURCE_DIR}/tests/tryout)
  set(TRYOUT_MEDIA ${CMAKE_BINARY_DIR}/tryout-media)
  set(TRYOUT_ENV "ZELK_BUILD=${ZELK_BUILD_ROOT}" "ZELK_WINE_ARCH=${ZELK_MODE_ARCH}")
  if(ZELK_MODE_ARCH STREQUAL "win64")
    set(TRYOUT_TWIN --test-twin)
    set(TRYOUT_PROGRAMS "the medium holds the x86-64 twin itself (a test medium), which ran as it is")
  else()
    set(TRYOUT_PROGRAMS "the medium's own setup.exe, unZELK.exe and rmZELK.bin ran")
  endif()

  add_test(NAME tryout.media COMMAND ${TRYOUT}/make-media ${ZELK_RUN_BUILD_DIR} ${TRYOUT_MEDIA} ${TRYOUT_TWIN})
  set_tests_properties(tryout.media PROPERTIES FIXTURES_SETUP tryout_media TIMEOUT 60
    ENVIRONMENT "${TRYOUT_ENV}")

  function(zelk_tryout_test name)
    add_test(NAME tryout.${name} COMMAND ${TRYOUT}/check --expect "${TRYOUT_PROGRAMS}" ${ARGN})
    set_tests_properties(tryout.${name} PROPERTIES FIXTURES_REQUIRED tryout_media
      ENVIRONMENT "${TRYOUT_ENV}" TIMEOUT 180)
  endfunction()

  # A folder on Windows 95: shortcuts, the shared DLL kept, the font removed.
  zelk_tryout_test(folder.win95
    --expect "ZELKトライアウト.lnk  ->  C:\\ZELK Games\\ソフト表\\sample.exe"
    --expect "kept on purpose: a shared DLL"
    --expect "asks whether to remove the font C:\\windows\\FONTS\\ZELKRT.TTF  -> Yes"
    --expect "Result: the round trip went through and left nothing unexpected."
    -- ${TRYOUT_MEDIA}/medium --win95)
  # The CD-ROM image on NT 4.0: run from a CD-ROM drive, which is refused as destination;
  # Program Manager's group made and deleted again, in the commands the stand-in recorded.
  zelk_tryout_test(image.nt40
    --expect "a destination on the CD-ROM drive is refused: D:\\ソフト表  ->  CD-ROMにはセットアップできません。"
    --expect "[DeleteGroup(ZELKトライアウト)]"
    --expect "Result: the round trip went through and left nothing unexpected."
    -- ${TRYOUT_MEDIA}/medium.iso --nt40 --progman-standin)
  # A folder on Windows 10 as a publisher runs it: the desktop's own Program Manager service
  # makes the group a Start-menu folder, and the removal leaves none of it.
  zelk_tryout_test(folder.win10
    --expect "ZELKトライアウト.lnk  ->  C:\\ZELK Games\\ソフト表\\sample.exe"
    --expect "Result: the round trip went through and left nothing unexpected."
    -- ${TRYOUT_MEDIA}/medium --win10)
  # The image on Windows 95, the font kept at the uninstaller's question: expected, not left.
  zelk_tryout_test(image.win95.keep_fonts
    --expect "a destination on the CD-ROM drive is refused"
    --expect "kept on purpose: a font the user chose to keep"
    --expect "Result: the round trip went through and left nothing unexpected."
    -- ${TRYOUT_MEDIA}/medium.iso --win95 --keep-fonts)
  # A font named like one the system has: its removal takes the system's font with it, and
  # the try-out says so and fails.
  zelk_tryout_test(font_clash.win95 --fails
    --expect "UNEXPECTED:  removed  C:\\windows\\Fonts\\tahoma.ttf"
    --expect "Result: problems found"
    -- ${TRYOUT_MEDIA}/font-clash --win95)
  # Where the shipped 32-bit programs cannot run, the try-out of a publisher's medium says so.
  if(ZELK_MODE_ARCH STREQUAL "win64")
    add_test(NAME tryout.shipped_refused COMMAND ${TRYOUT}/check --fails
      --expect "the shipped 32-bit programs on" -- ${ZELK_WIN_BUILD_DIR}/sample-medium)
    set_tests_properties(tryout.shipped_refused PROPERTIES ENVIRONMENT "${TRYOUT_ENV}" TIMEOUT 60)
  endif()
endif()

if(ZELK_RUN_BUILD_DIR)
  zelk_wine_test(wine.tryout_tests ${ZELK_RUN_BUILD_DIR}/tools/tryout/tryout_tests.exe)
endif()
