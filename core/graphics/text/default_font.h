#pragma once
// The built-in default font: the bytes of assets/fonts/default.mvec, compiled into the
// program at build time so that text draws even without the asset folder.

#include <cstddef>

const unsigned char* GetDefaultFont();
size_t GetDefaultFontSize();
