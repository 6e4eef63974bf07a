# The Windows version, cross-built with MinGW-w64 into <build>/win32-cross:
#  - test windows_cross_build (label "cross"): it configures and builds;
#  - target windows_zip and test windows_zip (label "windows"): the same,
#    then the user's zip <build>/terrain-editor-<version>-windows-x64.zip
#    with the .exe, this build's texture pack and LIESMICH.txt (CPack);
#    the .exe carries this build's icon (<build>/icons/terrain-editor.ico),
#    which the cross build cannot paint itself (the plain cross build takes
#    it when it is there);
#  - test windows_session (label "windows"): the program from that zip run
#    under Wine on Xvfb through a whole session (tests/e2e/wine_session_e2e.sh).
# Added only where the cross compiler is installed (Debian:
# g++-mingw-w64-x86-64-posix); the session test also needs Wine (wine, wine64).
find_program(TERRAIN_MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(TERRAIN_MINGW_CXX)
  set(TERRAIN_CROSS_DIR ${CMAKE_BINARY_DIR}/win32-cross)
  set(TERRAIN_CROSS_SCRIPT ${CMAKE_BINARY_DIR}/win32-cross-build.cmake)
  set(TERRAIN_ZIP_NAME terrain-editor-${PROJECT_VERSION}-windows-x64.zip)
  set(TERRAIN_ZIP ${CMAKE_BINARY_DIR}/${TERRAIN_ZIP_NAME})
  set(TERRAIN_ICO ${APP_ICON_DIR}/terrain-editor.ico)
  file(WRITE ${TERRAIN_CROSS_SCRIPT} "
set(icon \"\")
if(EXISTS \"${TERRAIN_ICO}\")
  set(icon \"${TERRAIN_ICO}\")
elseif(PACKAGE)
  message(FATAL_ERROR \"no icon ${TERRAIN_ICO}: build the host target app_icons first\")
endif()
execute_process(COMMAND \"${CMAKE_COMMAND}\" -S \"${CMAKE_SOURCE_DIR}\" -B \"${TERRAIN_CROSS_DIR}\"
    -G \"${CMAKE_GENERATOR}\"
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DTERRAIN_TEXTURE_DIR=${CMAKE_BINARY_DIR}/textures
    -DTERRAIN_ICON_FILE=\${icon}
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
if(NOT PACKAGE)
  return()
endif()
if(NOT EXISTS \"${CMAKE_BINARY_DIR}/textures/water.bmp\")
  message(FATAL_ERROR \"no texture pack in ${CMAKE_BINARY_DIR}/textures: build the host target texture_pack first\")
endif()
file(REMOVE \"${TERRAIN_CROSS_DIR}/${TERRAIN_ZIP_NAME}\" \"${TERRAIN_ZIP}\")
execute_process(COMMAND \"${CMAKE_COMMAND}\" --build \"${TERRAIN_CROSS_DIR}\" --target package
  RESULT_VARIABLE packed)
if(NOT packed EQUAL 0 OR NOT EXISTS \"${TERRAIN_CROSS_DIR}/${TERRAIN_ZIP_NAME}\")
  message(FATAL_ERROR \"packing the zip failed\")
endif()
file(COPY \"${TERRAIN_CROSS_DIR}/${TERRAIN_ZIP_NAME}\" DESTINATION \"${CMAKE_BINARY_DIR}\")
message(STATUS \"Windows zip: ${TERRAIN_ZIP}\")
")
  add_test(NAME windows_cross_build COMMAND ${CMAKE_COMMAND} -P ${TERRAIN_CROSS_SCRIPT})
  set_tests_properties(windows_cross_build PROPERTIES LABELS cross TIMEOUT 600
    RESOURCE_LOCK win32_cross_dir)

  set(zip_deps)
  if(TARGET texture_pack)
    set(zip_deps DEPENDS texture_pack app_icons)
  endif()
  add_custom_target(windows_zip
    COMMAND ${CMAKE_COMMAND} -DPACKAGE=ON -P ${TERRAIN_CROSS_SCRIPT}
    ${zip_deps} USES_TERMINAL
    COMMENT "Cross-building the Windows zip ${TERRAIN_ZIP_NAME}")

  if(TARGET terrain-editor AND TARGET texture_pack AND NOT WIN32)
    add_test(NAME windows_zip COMMAND ${CMAKE_COMMAND} -DPACKAGE=ON -P ${TERRAIN_CROSS_SCRIPT})
    set_tests_properties(windows_zip PROPERTIES LABELS windows TIMEOUT 600
      RESOURCE_LOCK win32_cross_dir
      FIXTURES_REQUIRED e2e_programs FIXTURES_SETUP windows_package)
    find_program(TERRAIN_WINE wine)
    if(TERRAIN_WINE)
      add_test(NAME windows_session
        COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/wine_session_e2e.sh ${TERRAIN_ZIP}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
      set_tests_properties(windows_session PROPERTIES LABELS windows TIMEOUT 600
        RUN_SERIAL TRUE FIXTURES_REQUIRED windows_package)
    endif()
  endif()
endif()
