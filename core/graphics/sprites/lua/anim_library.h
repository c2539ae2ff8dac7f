#pragma once
// The animation library "ganimationscript" (lua/anim.lua), compiled at build time.

#include <cstddef>

const unsigned char* GetAnimationLibraryChunk();
size_t GetAnimationLibraryChunkSize();
