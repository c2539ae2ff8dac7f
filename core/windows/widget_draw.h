#pragma once
// A widget's 2D drawing block: entered only when no 2D block is open yet (the window
// manager's frame leaves that to the windows), and left with the scope when it was.

#include "graphics/renderer.h"

class TWidget2dBlock {
 public:
  TWidget2dBlock() {
    TRenderer* renderer = TRenderer::GetInstance();
    mEntered = !renderer->Is2d() && renderer->Begin2d();
  }
  ~TWidget2dBlock() {
    if (mEntered) TRenderer::GetInstance()->End2d();
  }
  TWidget2dBlock(const TWidget2dBlock&) = delete;
  TWidget2dBlock& operator=(const TWidget2dBlock&) = delete;

 private:
  bool mEntered = false;
};
