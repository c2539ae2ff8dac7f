// A plain scalar rasteriser: every pixel of the scissor is tested against the edge
// functions and shaded from scratch with textbook formulas. The oracle for the
// device's optimised span loops.
#pragma once

#include "graphics/device/rasterizer.h"

void ReferenceTriangle(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1,
                       const TRasterVertex& v2);
void ReferenceLine(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1);
