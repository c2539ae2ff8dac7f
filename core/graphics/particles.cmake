# Particle effects, added to the graphics library: the particle functions and their
# streams, the Lua particle system, the particle collection and renderer, and the effect
# sprite.
target_sources(tarvelon_graphics PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/particle_functions.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/particle_stream.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/particle_collection.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/particle_renderer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/lua_particle_system.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/fx_sprite.cpp)

# The particle library "particles.lua": lua/particles.lua compiled to a precompiled chunk at
# build time and embedded as a byte array. Leak reports of the short-lived compiler in
# sanitized builds must not fail the build.
set(TARVELON_PARTICLES_LUA ${CMAKE_CURRENT_SOURCE_DIR}/lua/particles.lua)
set(TARVELON_PARTICLES_CHUNK ${CMAKE_CURRENT_BINARY_DIR}/particles_library.luac)
set(TARVELON_PARTICLES_CPP ${CMAKE_CURRENT_BINARY_DIR}/particles_library_data.cpp)
add_custom_command(
  OUTPUT ${TARVELON_PARTICLES_CPP}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:lua_compiler> -n =particles.lua -o ${TARVELON_PARTICLES_CHUNK} ${TARVELON_PARTICLES_LUA}
  COMMAND ${CMAKE_COMMAND} -DINPUT=${TARVELON_PARTICLES_CHUNK} -DOUTPUT=${TARVELON_PARTICLES_CPP}
          -DNAME=ParticlesLibraryChunk -DHEADER=graphics/lua/particles_library.h
          -P ${PROJECT_SOURCE_DIR}/cmake/embed_chunk.cmake
  DEPENDS ${TARVELON_PARTICLES_LUA} lua_compiler ${PROJECT_SOURCE_DIR}/cmake/embed_chunk.cmake
  COMMENT "Compiling the particle library")
target_sources(tarvelon_graphics PRIVATE ${TARVELON_PARTICLES_CPP})
