# The graphics library: image codecs, vector math, vector fonts and their rasteriser, and
# (added as they come) the renderer, textures, text layout, sprites and particles.
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(OPENJP2 REQUIRED IMPORTED_TARGET libopenjp2)

# The built-in default font: assets/fonts/default.mvec as a byte array in the executable.
set(TARVELON_DEFAULT_FONT ${PROJECT_SOURCE_DIR}/assets/fonts/default.mvec)
set(TARVELON_DEFAULT_FONT_CPP ${CMAKE_CURRENT_BINARY_DIR}/default_font_data.cpp)
add_custom_command(
  OUTPUT ${TARVELON_DEFAULT_FONT_CPP}
  COMMAND ${CMAKE_COMMAND} -DINPUT=${TARVELON_DEFAULT_FONT} -DOUTPUT=${TARVELON_DEFAULT_FONT_CPP}
          -DNAME=DefaultFont -DHEADER=graphics/default_font.h
          -P ${PROJECT_SOURCE_DIR}/cmake/embed_chunk.cmake
  DEPENDS ${TARVELON_DEFAULT_FONT} ${PROJECT_SOURCE_DIR}/cmake/embed_chunk.cmake
  COMMENT "Embedding the default font")

tarvelon_library(tarvelon_graphics
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/image_codecs.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/png_codec.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/jpeg_codec.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/jpeg2000_codec.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/vector_math.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/vec_font.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/mini_vec_draw.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/mini_vec_draw_output.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/font_cache.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/text_tags.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/text_layout.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/text_graphic.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/text_graphic_draw.cpp
    ${TARVELON_DEFAULT_FONT_CPP}
    ${CMAKE_CURRENT_SOURCE_DIR}/cursor_images.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/display.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/display_host.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/dx_context.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/dx_context_cursor.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/dx_texture_data.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/dx_trace.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/platform_data.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/platform_data_cursor.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/platform_data_draw.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/platform_data_restore.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/platform_data_target.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/renderer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/renderer_span_sink.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/system_cursor_image.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/texture.cpp
  DEPS tarvelon_platform tarvelon_device PNG::PNG JPEG::JPEG PkgConfig::OPENJP2)

# Sprites, animated textures and sprites, meshes and the asset map.
include(${CMAKE_CURRENT_SOURCE_DIR}/sprites.cmake)

# Particle effects and effect sprites.
include(${CMAKE_CURRENT_SOURCE_DIR}/particles.cmake)
