# keydocs: the key sections of the manuals, written from menu/KeyTable.cpp.
# The target update_docs rewrites them in the README, the manual page and
# LIESMICH.txt; the test docs_match_program (tests/) fails while they differ.
add_executable(keydocs ${CMAKE_CURRENT_SOURCE_DIR}/keydocs/Main.cpp
  ${CMAKE_SOURCE_DIR}/menu/KeyTable.cpp)
target_include_directories(keydocs PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(keydocs PRIVATE ${OUR_WARNINGS})
target_link_libraries(keydocs PRIVATE platform_files)
set(KEYDOCS_FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/packaging/terrain-editor.1
  ${CMAKE_SOURCE_DIR}/packaging/LIESMICH.txt)
add_custom_target(update_docs COMMAND keydocs update ${KEYDOCS_FILES}
  COMMENT "Writing the key sections of the manuals" VERBATIM)
