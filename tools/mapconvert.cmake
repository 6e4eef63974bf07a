# mapconvert: heightmap PNGs in and out of .map files, previews and facts.
# Built from the editor's own code (editor_core) on the headless backend,
# whose offscreen context gives tiles the editor's texture names and draws
# previews. libpng (libpng-dev) reads and writes the 16-bit pictures.
if(WIN32)
  return()
endif()

file(GLOB MAPCONVERT_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/mapconvert/*.cpp)
set(MAPCONVERT_MAIN ${CMAKE_CURRENT_SOURCE_DIR}/mapconvert/Main.cpp)
set(MAPCONVERT_PARTS ${MAPCONVERT_SOURCES})
list(REMOVE_ITEM MAPCONVERT_PARTS ${MAPCONVERT_MAIN})
# The program's parts on their own, for the import benchmark.
add_library(mapconvert_core STATIC ${MAPCONVERT_PARTS})
target_compile_options(mapconvert_core PRIVATE ${OUR_WARNINGS})
target_link_libraries(mapconvert_core PUBLIC editor_core platform_headless PkgConfig::LIBPNG)
add_executable(mapconvert ${MAPCONVERT_MAIN})
target_compile_options(mapconvert PRIVATE ${OUR_WARNINGS})
target_link_libraries(mapconvert PRIVATE mapconvert_core)
target_compile_definitions(mapconvert PRIVATE MAPCONVERT_VERSION="${PROJECT_VERSION}")

# The same program with AddressSanitizer and UBSan over its own code, for
# the tests that feed it hostile files.
if(TERRAIN_BUILD_TESTS)
  add_executable(mapconvert_asan ${MAPCONVERT_SOURCES})
  target_compile_options(mapconvert_asan PRIVATE ${OUR_WARNINGS} -O1 -g
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(mapconvert_asan PRIVATE -fsanitize=address,undefined)
  target_link_libraries(mapconvert_asan PRIVATE editor_core platform_headless PkgConfig::LIBPNG)
  target_compile_definitions(mapconvert_asan PRIVATE MAPCONVERT_VERSION="${PROJECT_VERSION}")
endif()
