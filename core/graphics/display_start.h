#pragma once
// The display start's tail, after a display start has set the display mode (the engine's
// renderer link runs it): on the first start the text rasteriser with its self-test and
// a cleared screen, on every start the texel-offset calibration and the cursor images
// handed to the display handler again.

class TPlatformData;

void FinishDisplayStart(bool firstStart);

// Draws a test texture at ten texel offsets into a render target and keeps the first
// offset that puts its columns exactly on pixels (-0.5 when none does).
void CalibratePixelOffset(TPlatformData& display);
