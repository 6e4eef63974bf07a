# Bitmap converters: bmpconvert (".bmp" to PNG, for looking at what the
# decoder makes of a file) and bmp2cbm (".bmp" to the scrambled ".cbm"
# form the texture library also reads). Both use the pure decoders of
# editor_core and never open a window.
add_executable(bmpconvert ${CMAKE_CURRENT_SOURCE_DIR}/bmpconvert.cpp)
target_compile_options(bmpconvert PRIVATE ${OUR_WARNINGS})
target_link_libraries(bmpconvert PRIVATE editor_core platform_headless)

add_executable(bmp2cbm ${CMAKE_CURRENT_SOURCE_DIR}/bmp2cbm.cpp)
target_compile_options(bmp2cbm PRIVATE ${OUR_WARNINGS})
target_link_libraries(bmp2cbm PRIVATE editor_core platform_headless)
