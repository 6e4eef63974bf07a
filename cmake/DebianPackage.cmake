# The Debian package of the host build: `cmake --build <build> --target deb`
# writes <build>/terrain-editor_<version>_amd64.deb with CPack's DEB
# generator. It holds
#   /usr/bin/terrain-editor, /usr/bin/mapconvert (stripped),
#   /usr/share/terrain-editor/textures/     the texture pack of this build,
#   /usr/share/applications/<id>.desktop    menu entry (German and English),
#   /usr/share/icons/hicolor/<n>x<n>/apps/terrain-editor.png  n = 48, 128, 256,
#   /usr/share/metainfo/<id>.metainfo.xml   AppStream metadata,
#   /usr/share/man/man1/{terrain-editor,mapconvert}.1.gz,
#   /usr/share/doc/terrain-editor/{copyright,changelog.gz,README.md.gz}.
# Depends comes from dpkg-shlibdeps (package dpkg-dev) over the two programs,
# plus libgl1: SDL opens libGL.so.1 itself when it makes the editor's
# OpenGL context, so no program names it among its needed libraries.
# The programs find the pack relative to their own file
# (../share/terrain-editor), so the tree works wherever it is unpacked.
# Included by the top-level CMakeLists.txt after tools/ (the pack and icons).
if(NOT TARGET terrain-editor OR NOT TARGET mapconvert OR NOT TARGET texture_pack
   OR NOT TARGET app_icons OR NOT TARGET keydocs)
  return()
endif()

# The AppStream component id, also the desktop entry's file name. A reverse
# domain name is what the validators ask for; the project has no domain of
# its own yet, so this is one under the domain reserved for examples until
# it has.
set(TERRAIN_APP_ID org.example.TerrainEditor)
set(TERRAIN_PACKAGE_MAINTAINER "Terrain editor developers <terrain-editor@example.org>"
  CACHE STRING "Maintainer field of the Debian package")

set(PACKAGING_SOURCE ${CMAKE_SOURCE_DIR}/packaging)
set(PACKAGING_BUILD ${CMAKE_BINARY_DIR}/packaging)
configure_file(${PACKAGING_SOURCE}/terrain-editor.metainfo.xml.in
  ${PACKAGING_BUILD}/${TERRAIN_APP_ID}.metainfo.xml @ONLY)
configure_file(${PACKAGING_SOURCE}/terrain-editor.desktop
  ${PACKAGING_BUILD}/${TERRAIN_APP_ID}.desktop COPYONLY)

# Manual pages, the changelog and the README are installed compressed,
# without a time stamp in the gzip header (gzip -n), so the package is the
# same on every run. The editor's manual page gets its key section from the
# key table here (keydocs), whatever the committed copy says.
set(PACKAGING_GZ)
foreach(source terrain-editor.1 mapconvert.1 changelog.in)
  string(REGEX REPLACE "\\.in$" "" name ${source})
  if(name STREQUAL "terrain-editor.1")
    configure_file(${PACKAGING_SOURCE}/${source} ${PACKAGING_BUILD}/configured/${name} @ONLY)
    add_custom_command(OUTPUT ${PACKAGING_BUILD}/${name}
      COMMAND keydocs write ${PACKAGING_BUILD}/configured/${name} ${PACKAGING_BUILD}/${name}
      DEPENDS keydocs ${PACKAGING_BUILD}/configured/${name}
      VERBATIM)
  else()
    configure_file(${PACKAGING_SOURCE}/${source} ${PACKAGING_BUILD}/${name} @ONLY)
  endif()
  add_custom_command(OUTPUT ${PACKAGING_BUILD}/${name}.gz
    COMMAND gzip -9nkf ${PACKAGING_BUILD}/${name}
    DEPENDS ${PACKAGING_BUILD}/${name}
    VERBATIM)
  list(APPEND PACKAGING_GZ ${PACKAGING_BUILD}/${name}.gz)
endforeach()
add_custom_command(OUTPUT ${PACKAGING_BUILD}/README.md.gz
  COMMAND keydocs write ${CMAKE_SOURCE_DIR}/README.md ${PACKAGING_BUILD}/README.md
  COMMAND gzip -9nkf ${PACKAGING_BUILD}/README.md
  DEPENDS keydocs ${CMAKE_SOURCE_DIR}/README.md
  VERBATIM)
list(APPEND PACKAGING_GZ ${PACKAGING_BUILD}/README.md.gz)
add_custom_target(package_files DEPENDS ${PACKAGING_GZ})

# The installed programs resolve every symbol at start, so that their
# relocations can be made read-only (as Debian's own packages are built).
target_link_options(terrain-editor PRIVATE LINKER:-z,now)
target_link_options(mapconvert PRIVATE LINKER:-z,now)

install(TARGETS terrain-editor mapconvert RUNTIME DESTINATION bin)
install(DIRECTORY ${CMAKE_BINARY_DIR}/textures DESTINATION share/terrain-editor)
foreach(size 48 128 256)
  install(FILES ${APP_ICON_DIR}/hicolor/${size}x${size}/apps/terrain-editor.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PACKAGING_BUILD}/${TERRAIN_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${PACKAGING_BUILD}/${TERRAIN_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${PACKAGING_BUILD}/terrain-editor.1.gz ${PACKAGING_BUILD}/mapconvert.1.gz
  DESTINATION share/man/man1)
install(FILES ${PACKAGING_SOURCE}/copyright ${PACKAGING_BUILD}/changelog.gz
  ${PACKAGING_BUILD}/README.md.gz DESTINATION share/doc/terrain-editor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME terrain-editor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fullscreen 3D terrain map editor")
set(CPACK_PACKAGE_DESCRIPTION
"A fullscreen editor for 3D terrain maps of 256 x 256 cells: paint earth,
meadow and snow, whose ground tiles fit together by themselves, and raise,
lower, flatten and smooth the ground with brushes, with animated water in
every hollow below the water level. Maps are saved as .map files.

The package also holds mapconvert, a command-line tool that exchanges maps
with other terrain tools as 16-bit greyscale PNG heightmaps and draws
previews.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TERRAIN_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/DebianPackageTools.cmake)
include(CPack)

set(TERRAIN_DEB ${CMAKE_BINARY_DIR}/terrain-editor_${PROJECT_VERSION}_amd64.deb)
add_custom_target(deb
  COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  USES_TERMINAL
  COMMENT "Packing ${TERRAIN_DEB}")
add_dependencies(deb terrain-editor mapconvert texture_pack app_icons package_files)
