# Test that the Windows version still builds: a cross configure and build
# with MinGW-w64 into <build>/win32-cross (label "cross"). Added only where
# the cross compiler is installed (Debian: g++-mingw-w64-x86-64-posix).
find_program(TERRAIN_MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(TERRAIN_MINGW_CXX)
  set(TERRAIN_CROSS_DIR ${CMAKE_BINARY_DIR}/win32-cross)
  set(TERRAIN_CROSS_SCRIPT ${CMAKE_BINARY_DIR}/win32-cross-build.cmake)
  file(WRITE ${TERRAIN_CROSS_SCRIPT} "
execute_process(COMMAND \"${CMAKE_COMMAND}\" -S \"${CMAKE_SOURCE_DIR}\" -B \"${TERRAIN_CROSS_DIR}\"
    -G \"${CMAKE_GENERATOR}\"
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=Release
  RESULT_VARIABLE configured)
if(NOT configured EQUAL 0)
  message(FATAL_ERROR \"cross configure failed\")
endif()
execute_process(COMMAND \"${CMAKE_COMMAND}\" --build \"${TERRAIN_CROSS_DIR}\" --target terrain-editor
  RESULT_VARIABLE built)
if(NOT built EQUAL 0)
  message(FATAL_ERROR \"cross build failed\")
endif()
if(NOT EXISTS \"${TERRAIN_CROSS_DIR}/terrain-editor.exe\")
  message(FATAL_ERROR \"terrain-editor.exe was not produced\")
endif()
")
  add_test(NAME windows_cross_build COMMAND ${CMAKE_COMMAND} -P ${TERRAIN_CROSS_SCRIPT})
  set_tests_properties(windows_cross_build PROPERTIES LABELS cross TIMEOUT 600)
endif()
