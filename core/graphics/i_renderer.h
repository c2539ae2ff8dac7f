#pragma once
// IRenderer: what the platform shell asks of the renderer front end (TRenderer of the
// graphics subsystem implements it). The platform owns the one instance: RunEngine makes
// it through TEngineStart::makeRenderer after the display handler, and the teardown
// deletes it before the display handler. Without a factory the platform uses a stand-in
// that keeps only the statistics flag.

#include <cstdint>

#include "platform/engine_string.h"

class IRenderer {
 public:
  virtual ~IRenderer() = default;

  // Alt+F1: flips the statistics overlay; answers the value it had before.
  virtual bool ToggleStats() = 0;
  // TPlatform::InitDisplay's last step, after SetDisplay: on the first display start the
  // text rasteriser with its self-test and a cleared screen; on every start the texel
  // offset calibrated and the cursor images applied again; then the clip rectangle
  // becomes (0, 0, width, height).
  virtual void OnDisplayStarted(uint32_t width, uint32_t height, bool firstStart) = 0;
  // The test hook's frame capture, on the main thread between two event-loop steps:
  // writes the last presented frame as a PNG file; false when there is none.
  virtual bool CaptureFrame(const TString& path) = 0;
};
