#include "engine/engine_stand_ins.h"

#include "platform/log.h"

bool TNullWindowManager::SetScriptFlag(bool on) {
  bool previous = mScriptFlag;
  mScriptFlag = on;
  return previous;
}

bool TStatsOnlyRenderer::ToggleStats() {
  bool previous = mStatsOn;
  mStatsOn = !mStatsOn;
  return previous;
}

bool TStatsOnlyRenderer::CaptureFrame(const TString& path) {
  LogPrintf("Frame capture to %s: no renderer, no frame", path.c_str());
  return false;
}
