# Benchmark programs (run by bench/run under Wine; not tests).
add_executable(bench_floor bench/floor.cpp)
target_compile_options(bench_floor PRIVATE ${ZELK_WIN_FLAGS})
target_link_libraries(bench_floor PRIVATE lz32 shell32)
target_link_options(bench_floor PRIVATE -static)

add_executable(bench_drive bench/drive.cpp)
target_compile_options(bench_drive PRIVATE ${ZELK_WIN_FLAGS})
target_link_libraries(bench_drive PRIVATE zelk_driver)
target_link_options(bench_drive PRIVATE -static)

# Where an installation's time goes, piece by piece (bench/run --profile).
add_executable(bench_profile bench/profile.cpp resources/setup.rc)
target_compile_options(bench_profile PRIVATE ${ZELK_WIN_FLAGS})
target_link_libraries(bench_profile PRIVATE zelk_setup ${ZELK_WIN_LIBS})
target_link_options(bench_profile PRIVATE -static)
if(TARGET zelk_artwork)
  add_dependencies(bench_profile zelk_artwork)
endif()
