#include "minigames/plotpoint_window.h"

#include <algorithm>

#include "model/highscore_system.h"
#include "model/plotpoint.h"
#include "model/plotpoint_strip.h"
#include "scenes/general_sprite.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"

namespace {

const char* const TextBoxName = "text";

float ColourPart(uint32_t value) { return float(value / 255.0); }

int32_t Extent(int32_t from, int32_t to) { return int32_t(std::max<int64_t>(0, int64_t(to) - from)); }

}  // namespace

TPlotpointWindow::TPlotpointWindow() {
  mPage = GameModel(mStandIn);
  mStartTime = HighscoreSystem::GetPlayClockTime();
}

TPlotpointWindow::~TPlotpointWindow() = default;

std::unique_ptr<TWindow> TPlotpointWindow::Create() { return std::make_unique<TPlotpointWindow>(); }

void TPlotpointWindow::PostCreate(TWindowStyle& style) {
  std::vector<CPlotpointStrip::TSize> sizes;
  if (mSpriteWindow) {
    for (uint32_t i = 0; i < mPage->GetPieceCount(); i++) {
      TString name = mPage->GetPieceName(i);
      GeneralSprite piece(mPage->GetPieceImage(i), mPage->GetBeginX(), mPage->GetBeginY(), SpritePivotTopLeft,
                          SpriteKindPlotpointPiece, name, 1.0f, 0);
      mSpriteWindow->AddSprite(piece);
      TPoint size = ImageSize(piece);
      sizes.push_back({size.x, size.y});
      mPieceNames.push_back(name);
    }
  }
  mStrip = std::make_unique<CPlotpointStrip>(*mPage, sizes);
  for (size_t i = 0; i < mPieceNames.size(); i++) {
    CPlotpointStrip::TPoint start = mStrip->GetPieceStart(i);
    mSpriteWindow->SetSpritePosition(mPieceNames[i], float(start.x), float(start.y));
  }
  if (mSpriteWindow && !mPage->GetBorderTexture().IsEmpty())
    mSpriteWindow->AddSprite(GeneralSprite(mPage->GetBorderTexture(), 0, 0, SpritePivotTopLeft,
                                           SpriteKindPlotpointBorder, "border", 1.0f, 0));

  auto text = std::make_unique<TTextbox>(false);
  text->SetName(TextBoxName);
  TColor colour{ColourPart(mPage->GetTextColorRed()), ColourPart(mPage->GetTextColorGreen()),
                ColourPart(mPage->GetTextColorBlue()), 1.0f};
  text->Setup(scene::Text(scene::Config("stringsEmptyStandard")),
              Extent(mPage->GetTextUpperLeftX(), mPage->GetTextLowerRightX()),
              Extent(mPage->GetTextUpperLeftY(), mPage->GetTextLowerRightY()), 1, scene::Config("ppFont"),
              int32_t(std::min<uint32_t>(mPage->GetTextHeight(), INT32_MAX)), colour, scene::ConfigInt("ppMaxFontLines"));
  text->SetPosition(mPage->GetTextUpperLeftX(), mPage->GetTextUpperLeftY());
  text->SetAlpha(0);
  scene::AttachChild(*this, std::move(text));

  TMiniGameWindow::PostCreate(style);
}

bool TPlotpointWindow::Animate() {
  if (mStrip) {
    uint32_t elapsed = HighscoreSystem::GetPlayClockTime() - mStartTime;
    double progress = mPage->GetProgress(elapsed);
    for (size_t i = 0; i < mPieceNames.size(); i++) {
      CPlotpointStrip::TPoint place = mStrip->GetPiecePosition(i, progress);
      mSpriteWindow->SetSpritePosition(mPieceNames[i], float(place.x), float(place.y));
    }
    CPlotpoint::TTextShown shown = mPage->GetTextAt(progress * mPage->GetTotal(), scene::ConfigFloat("ppFadeInOutTimeInS"));
    TTextbox* text = FindTextbox(TextBoxName);
    if (text && shown.index >= 0) {
      // Laid out anew only when the entry changes: the text of an entry stays the same.
      if (shown.index != mTextShown) text->SetText(scene::Text(mPage->GetText(shown.index)));
      mTextShown = shown.index;
      text->SetAlpha(shown.alpha);
    }
    if (mStrip->HasReachedEnd(progress)) FinishScene();
  }
  return TMiniGameWindow::Animate();
}

bool TPlotpointWindow::OnMouseDown(TPoint /*point*/) {
  if (IsInputOpen()) FinishScene();
  return false;
}
