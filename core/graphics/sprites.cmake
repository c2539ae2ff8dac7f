# Sprites and their assets, added to the graphics library: the sprite tree, animated
# textures and sprites, meshes and the asset map.
target_sources(tarvelon_graphics PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/sprite.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/anim_texture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/anim_texture_files.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/mesh.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/anim_sprite.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/asset_map.cpp)

# The animation library "ganimationscript": lua/anim.lua compiled to a precompiled chunk at
# build time and embedded as a byte array. Leak reports of the short-lived compiler in
# sanitized builds must not fail the build.
set(TARVELON_ANIM_LUA ${CMAKE_CURRENT_SOURCE_DIR}/lua/anim.lua)
set(TARVELON_ANIM_CHUNK ${CMAKE_CURRENT_BINARY_DIR}/anim_library.luac)
set(TARVELON_ANIM_CPP ${CMAKE_CURRENT_BINARY_DIR}/anim_library_data.cpp)
add_custom_command(
  OUTPUT ${TARVELON_ANIM_CPP}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:lua_compiler> -n =ganimationscript -o ${TARVELON_ANIM_CHUNK} ${TARVELON_ANIM_LUA}
  COMMAND ${CMAKE_COMMAND} -DINPUT=${TARVELON_ANIM_CHUNK} -DOUTPUT=${TARVELON_ANIM_CPP} -DNAME=AnimationLibraryChunk
          -DHEADER=graphics/lua/anim_library.h -P ${PROJECT_SOURCE_DIR}/cmake/embed_chunk.cmake
  DEPENDS ${TARVELON_ANIM_LUA} lua_compiler ${PROJECT_SOURCE_DIR}/cmake/embed_chunk.cmake
  COMMENT "Compiling the animation library")
target_sources(tarvelon_graphics PRIVATE ${TARVELON_ANIM_CPP})
target_link_libraries(tarvelon_graphics PUBLIC tarvelon_script tarvelon_sound)
