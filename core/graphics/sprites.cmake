# Sprites and their assets, added to the graphics library: the sprite tree, animated
# textures and sprites, meshes and the asset map.
target_sources(tarvelon_graphics PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/sprite.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/anim_texture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/anim_texture_files.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/mesh.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/anim_sprite.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/asset_map.cpp)

# The animation library "ganimationscript", compiled at build time and embedded.
tarvelon_embed_lua(TARVELON_ANIM_CPP SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/lua/anim.lua CHUNK_NAME =ganimationscript
                   SYMBOL AnimationLibraryChunk HEADER graphics/lua/anim_library.h
                   COMMENT "Compiling the animation library")
target_sources(tarvelon_graphics PRIVATE ${TARVELON_ANIM_CPP})
target_link_libraries(tarvelon_graphics PUBLIC tarvelon_script tarvelon_sound)
