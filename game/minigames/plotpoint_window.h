#pragma once
// TPlotpointWindow ("PlotpointWindow"): the story page of a CPlotpoint. The pieces of the
// moving texture (kind 21) lie end to end in the scene's sprite window under the page's
// frame (kind 20, "border"); each frame the strip slides by the page's progress (the play
// clock since the window was made, over the page's running time) and the text box "text"
// shows the text of the moment with its fades. The page ends when the strip's trailing
// edge reaches the end point, or at any click once the scene has started: on this page the
// briefing gate and the skip and menu buttons take no clicks. There is nothing to win.
//
// Settings: "ppFadeInOutTimeInS" (seconds of each fade), "ppFont", "ppMaxFontLines",
// "stringsEmptyStandard" (the label of the box's first text).

#include <cstdint>
#include <memory>
#include <vector>

#include "minigames/mini_game_window.h"

class CPlotpoint;
class CPlotpointStrip;

enum TPlotpointSpriteKind : int32_t {
  SpriteKindPlotpointBorder = 20,
  SpriteKindPlotpointPiece = 21,
};

class TPlotpointWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  // Takes the play clock's time as the page's start.
  TPlotpointWindow();
  ~TPlotpointWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TPlotpointWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The pieces, the frame and the text box, then the buttons and the scene.
  void PostCreate(TWindowStyle& style) override;
  // The strip and the text by the page's progress; the end test; then the scene's step.
  bool Animate() override;
  // Any click once the scene has started ends the page; reported as not handled.
  bool OnMouseDown(TPoint point) override;

  CPlotpoint* GetPage() const { return mPage; }
  // The strip as laid out (null before PostCreate).
  const CPlotpointStrip* GetStrip() const { return mStrip.get(); }

 private:
  CPlotpoint* mPage = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CPlotpoint> mStandIn;
  std::unique_ptr<CPlotpointStrip> mStrip;
  std::vector<TString> mPieceNames;
  uint32_t mStartTime = 0;
  int32_t mTextShown = -1;  // the entry whose text the box holds
};
