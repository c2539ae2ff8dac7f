# Sprites and their assets, added to the graphics library: the sprite tree, animated
# textures and sprites, meshes and the asset map.
target_sources(tarvelon_graphics PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/sprite.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/anim_texture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/anim_texture_files.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/mesh.cpp)
