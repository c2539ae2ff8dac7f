#pragma once
// The particle library "particles.lua" (lua/particles.lua), compiled at build time.

#include <cstddef>

const unsigned char* GetParticlesLibraryChunk();
size_t GetParticlesLibraryChunkSize();
