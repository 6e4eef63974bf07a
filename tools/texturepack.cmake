# The editor's texture pack, painted by our own generator at build time.
#
# texturegen (standard library only) writes every picture below
# <build>/textures; the two entries the pack ships in the scrambled ".cbm"
# form (the plant and the head) come out as plain bitmaps in
# <build>/texturegen_raw and are converted with bmp2cbm. A stamp file makes
# the pack rerun only when the generator (or the converter) changes. The
# output is the same byte for byte on every run.
file(GLOB TEXTUREGEN_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/texturegen/*.cpp)
add_executable(texturegen ${TEXTUREGEN_SOURCES})
target_compile_options(texturegen PRIVATE ${OUR_WARNINGS})
# The layouts it shares with the editor (menu/PanelLayout.h, menu/GlyphSheet.h).
target_include_directories(texturegen PRIVATE ${CMAKE_SOURCE_DIR})

if(NOT TARGET bmp2cbm)
  message(FATAL_ERROR "The texture pack needs the bmp2cbm converter (tools/converters.cmake).")
endif()

set(TEXTURE_PACK_DIR ${CMAKE_BINARY_DIR}/textures)
set(TEXTURE_RAW_DIR ${CMAKE_BINARY_DIR}/texturegen_raw)
set(TEXTURE_PACK_STAMP ${CMAKE_CURRENT_BINARY_DIR}/texture_pack.stamp)
add_custom_command(
  OUTPUT ${TEXTURE_PACK_STAMP}
  COMMAND texturegen ${TEXTURE_PACK_DIR} --raw ${TEXTURE_RAW_DIR}
  COMMAND bmp2cbm ${TEXTURE_RAW_DIR}/pflanze_klein.bmp ${TEXTURE_PACK_DIR}/pflanze_klein.cbm
  COMMAND bmp2cbm ${TEXTURE_RAW_DIR}/bauer_kopf.bmp ${TEXTURE_PACK_DIR}/bauer_kopf.cbm
  COMMAND ${CMAKE_COMMAND} -E touch ${TEXTURE_PACK_STAMP}
  DEPENDS texturegen bmp2cbm
  COMMENT "Painting the texture pack into ${TEXTURE_PACK_DIR}"
  VERBATIM)
add_custom_target(texture_pack ALL DEPENDS ${TEXTURE_PACK_STAMP})

# The contact sheet shown in the README (not part of ALL): one PNG with every
# texture, written into the source tree's docs folder.
add_custom_target(texture_sheet
  COMMAND texturegen --sheet ${CMAKE_SOURCE_DIR}/docs/texture-pack.png
  DEPENDS texturegen
  COMMENT "Writing docs/texture-pack.png"
  VERBATIM)

# The pack's test reads the files of the build folder; the tests directory is
# added after this one, so the dependency is attached once the top-level
# directory has been processed.
function(texture_pack_attach_test)
  if(TARGET TexturePack_test)
    add_dependencies(TexturePack_test texture_pack)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL texture_pack_attach_test)

# The program's icons, painted by the same generator but no part of the pack:
# <build>/icons/hicolor/<n>x<n>/apps/terrain-editor.png for the desktop's
# menu (the Debian package) and <build>/icons/terrain-editor.ico, which the
# Windows build compiles into the .exe (APP_ICON_DIR: top-level CMakeLists.txt).
set(APP_ICON_FILES ${APP_ICON_DIR}/terrain-editor.ico)
foreach(size 48 128 256)
  list(APPEND APP_ICON_FILES ${APP_ICON_DIR}/hicolor/${size}x${size}/apps/terrain-editor.png)
endforeach()
add_custom_command(
  OUTPUT ${APP_ICON_FILES}
  COMMAND texturegen --icons ${APP_ICON_DIR}
  DEPENDS texturegen
  COMMENT "Painting the program's icons into ${APP_ICON_DIR}"
  VERBATIM)
add_custom_target(app_icons ALL DEPENDS ${APP_ICON_FILES})
