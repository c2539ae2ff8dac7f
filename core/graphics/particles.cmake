# Particle effects, added to the graphics library: the particle functions and their
# streams, the Lua particle system, the particle collection and renderer, and the effect
# sprite.
target_sources(tarvelon_graphics PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/particle_functions.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/particle_stream.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/particle_block_program.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/particle_collection.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/particle_renderer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/lua_particle_system.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/fx_sprite.cpp)

# The particle library "particles.lua", compiled at build time and embedded.
tarvelon_embed_lua(TARVELON_PARTICLES_CPP SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/lua/particles.lua CHUNK_NAME =particles.lua
                   SYMBOL ParticlesLibraryChunk HEADER graphics/lua/particles_library.h
                   COMMENT "Compiling the particle library")
target_sources(tarvelon_graphics PRIVATE ${TARVELON_PARTICLES_CPP})
