// TScene: the hint spiral, a particle effect that circles a point for a moment, and the
// choice of that point from the story's place tables: a point of this screen when the
// searched place is this one, else the exit of this screen that leads towards it.
//
// The spiral's angle is its phase times 360 taken as radians, so the effect hops around
// the circle rather than gliding; that is how the hint looks and it stays so.

#include <algorithm>
#include <cmath>

#include "graphics/particles/fx_sprite.h"
#include "graphics/sprites/sprite.h"
#include "model/game.h"
#include "model/scene.h"
#include "platform/log.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_window.h"
#include "windows/window_spider.h"

namespace {

constexpr float PhaseStep = 0.03f;
constexpr float PhaseParked = 2.0f;
constexpr float PhaseEnded = 6.0f;
// The slope that stands for a vertical diagonal.
constexpr double VerticalSlope = 1.0e7;

void MoveSprite(TSprite* sprite, const TVec2& position) {
  if (!sprite) return;
  TVec3& translation = sprite->GetDrawParams().matrix.m[2];
  translation.x = position.x;
  translation.y = position.y;
}

double Slope(double x1, double y1, double x2, double y2) { return x1 == x2 ? VerticalSlope : (y2 - y1) / (x2 - x1); }

// Where the exit's diagonals (corner 1 to 3, corner 2 to 4) cross. Parallel diagonals
// (a degenerate quadrilateral) have no crossing: the mean of the corners stands in.
TPoint DiagonalCrossing(const CSceneExit& exit) {
  double x1 = exit.GetPositionX1(), y1 = exit.GetPositionY1(), x2 = exit.GetPositionX2(), y2 = exit.GetPositionY2();
  double x3 = exit.GetPositionX3(), y3 = exit.GetPositionY3(), x4 = exit.GetPositionX4(), y4 = exit.GetPositionY4();
  double m1 = Slope(x1, y1, x3, y3), m2 = Slope(x2, y2, x4, y4);
  if (m1 == m2) {
    LogPrintf("TScene: the diagonals of exit %s are parallel; the hint points at its middle", exit.GetId().c_str());
    return TPoint(scene::Truncate((x1 + x2 + x3 + x4) / 4), scene::Truncate((y1 + y2 + y3 + y4) / 4));
  }
  double b1 = y1 - m1 * x1, b2 = y2 - m2 * x2;
  double x = (b2 - b1) / (m1 - m2);
  return TPoint(scene::Truncate(x), scene::Truncate(b1 + m1 * x));
}

}  // namespace

void TScene::StartHintSpiral(int32_t x, int32_t y) {
  if (mHintSpiralActive) return;
  mHintSpiralSprite = TFxSprite::Create(scene::Config("scriptSpinshine"), 10);
  // The particles run on the window's clock; the window hands the task back when it goes.
  TFxSpriteAnimTask* task = TFxSpriteAnimTask::GetInstance();
  TWindowAnim* anim = GetAnim();
  if (task && anim) {
    task->SetClock(anim->GetClock());
    mHintTask = task;
    mHintTaskClock = anim->GetClock();
  }
  if (mHintWindow && mHintSpiralSprite) mHintWindow->GetRootSprite()->AddChild(mHintSpiralSprite);
  mHintSpiralPhase = 0;
  mHintSpiralRadius = mHintRadiusSize;
  mHintSpiralCentre = TPoint(x, y);
  mHintSpiralActive = true;
}

void TScene::StepHintSpiral() {
  if (mHintSpiralActive) {
    mHintSpiralPhase += PhaseStep;
    mHintSpiralPos = TVec2(float(mHintSpiralCentre.x) + mHintSpiralRadius * std::cos(mHintSpiralAngle),
                           float(mHintSpiralCentre.y) + mHintSpiralRadius * std::sin(mHintSpiralAngle));
    MoveSprite(mHintSpiralSprite.get(), mHintSpiralPos);
    mHintSpiralAngle = mHintSpiralPhase * 360.0f;
  }
  if (mHintSpiralPhase > PhaseParked) {
    mHintSpiralPhase += PhaseStep;
    mHintSpiralPos = TVec2(-200, -200);
    MoveSprite(mHintSpiralSprite.get(), mHintSpiralPos);
  }
  if (mHintSpiralPhase > PhaseEnded) {
    mHintSpiralActive = false;
    if (mHintWindow && mHintSpiralSprite) mHintWindow->GetRootSprite()->RemoveChild(mHintSpiralSprite);
  }
}

void TScene::ShowHintAt(const char* targetLocation, int32_t x, int32_t y) {
  TString target = targetLocation;
  TString location;
  for (const auto& [place, scenes] : CGame::GetLocationScenes()) {
    if (std::find(scenes.begin(), scenes.end(), mModel->GetSeqId()) == scenes.end()) continue;
    location = TString(place);
    break;
  }
  if (location.IsEmpty()) return;
  TPoint point(x, y);
  if (location != target) {
    TString exitId = FindExitTowards({}, location.c_str(), target.c_str());
    if (exitId.IsEmpty() || exitId == "-1") return;
    mModel->RewindSceneExits();
    CSceneExit* exit = mModel->FindSceneExit(exitId);
    if (!exit) return;
    point = DiagonalCrossing(*exit);
  }
  if (!mHintSpiralActive) StartHintSpiral(point.x, point.y);
}

TString TScene::FindExitTowards(std::vector<TString> visited, const char* from, const char* target) {
  TString origin = from;
  if (std::find(visited.begin(), visited.end(), origin) != visited.end()) return TString();
  for (const auto& [exitId, neighbour] : CGame::GetLocationExits(origin.ToStd())) {
    if (visited.empty()) {
      // Only an active exit of this screen starts a path.
      CSceneExit* exit = mModel->FindSceneExit(TString(exitId));
      if (!exit || !exit->IsActive()) continue;
    }
    if (neighbour == target) return TString(exitId);
    visited.push_back(origin);
    if (!FindExitTowards(visited, neighbour.c_str(), target).IsEmpty()) return TString(exitId);
    visited.pop_back();
  }
  return TString();
}
