// TScene: the small overlay boxes that scripts, the input handlers and the frame step fill,
// place, show and hide: the tutorial box, the next-searched-item box, the candle window (a
// lit hole of seven dark pieces that follows the mouse in dark scenes) and the info box.
// Each box is found by name and class; a missing one is left alone.

#include <algorithm>

#include "graphics/texture.h"
#include "model/scene.h"
#include "scenes/game_flow.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/textbox.h"
#include "windows/image_window.h"

namespace {

struct TCandlePiece {
  const char* name;
  int32_t dx, dy;  // the piece's top-left corner from the mouse
};
const TCandlePiece CandlePieces[] = {
    {"candle", -512, -384},
    {"candle_topLeft", -1024, -768},
    {"candle_topRight", 0, -768},
    {"candle_bottomLeft", -1024, 384},
    {"candle_bottomRight", 0, 384},
    {"candle_middleLeft", -1024, -384},
    {"candle_middleRight", 512, -384},
};

}  // namespace

void TScene::SetTutorialImage(const char* image) {
  if (TImage* tutorial = FindImage("tutorial")) tutorial->SetTexture(TTexture::Get(image, 0), 1.0f);
}

void TScene::SetTutorialText(const char* label) {
  TTextbox* text = FindTextbox("tutorialtextText");
  if (!text) return;
  // Laying the text out anew takes the box's colour: a hidden box stays hidden.
  float alpha = text->GetAlpha();
  text->SetText(scene::Text(label));
  text->SetAlpha(alpha);
}

void TScene::SetTutorialVisible(bool visible) {
  float alpha = visible ? 1.0f : 0.0f;
  if (TImage* tutorial = FindImage("tutorial")) tutorial->SetAlpha(alpha);
  if (TTextbox* text = FindTextbox("tutorialtextText")) text->SetAlpha(alpha);
}

void TScene::SetTutorialTextPosition(int32_t x, int32_t y, uint32_t width, uint32_t height) {
  TTextbox* text = FindTextbox("tutorialtextText");
  if (!text) return;
  text->SetPosition(x, y);
  text->SetSize(int32_t(std::min<uint32_t>(width, CoordinateLimit)), int32_t(std::min<uint32_t>(height, CoordinateLimit)));
  float alpha = text->GetAlpha();
  text->SetText(text->GetText());
  text->SetAlpha(alpha);
}

void TScene::SetTutorialTextColor(float red, float green, float blue, float alpha) {
  if (TTextbox* text = FindTextbox("tutorialtextText"))
    text->SetColor(TColor{red / 255.0f, green / 255.0f, blue / 255.0f, alpha / 255.0f});
}

void TScene::ShowNextInvItem(const char* background, const char* item) {
  mNsiActive = true;
  mNsiStartTime = int32_t(mSceneClock.GetTime());
  mNsiPos = TPoint(0, 710);
  mNsiBackgroundTexture = background;
  mNsiItemTexture = item;
  if (TImage* box = FindImage("nsiBackground")) {
    box->SetPosition(mNsiPos.x, mNsiPos.y);
    box->SetTexture(TTexture::Get(mNsiBackgroundTexture, 0), 1.0f);
    box->SetAlpha(0.0f);
  }
  if (TImage* picture = FindImage("nsiinvItem")) {
    picture->SetPosition(mNsiPos.x + scene::ConfigInt("advNextSearchedItemBorderLeft"),
                         mNsiPos.y + scene::ConfigInt("advNextSearchedItemBorderTop"));
    picture->SetTexture(TTexture::Get(mNsiItemTexture, 0), 1.0f);
    picture->SetAlpha(0.0f);
  }
}

void TScene::KillNextInvItem() {
  TImage* box = FindImage("nsiBackground");
  TImage* picture = FindImage("nsiinvItem");
  if (!box || !picture) return;
  box->SetAlpha(0.0f);
  picture->SetAlpha(0.0f);
  // A box still sliding in would show again with the slide's next step: the slide ends.
  mNsiActive = false;
}

void TScene::MoveCandleWindow(TPoint point) {
  for (const TCandlePiece& piece : CandlePieces)
    if (TImage* image = FindImage(piece.name)) image->SetPosition(point.x + piece.dx, point.y + piece.dy);
}

void TScene::SetCandleWindowVisible(bool visible) {
  float ratio = float(mModel->GetAlphaOfBlackRatio());
  if (TImage* darkness = FindImage("darkness")) darkness->SetAlpha(visible ? 0.0f : ratio);
  if (mSkyVisible) {
    if (TImage* front = FindImage("skyinfrontofhint")) front->SetAlpha(visible ? 0.0f : 1.0f);
    if (TImage* behind = FindImage("skybehindhint")) behind->SetAlpha(visible ? 1.0f : 0.0f);
  }
  if (visible) MoveCandleWindow(scene::MousePosition());
  for (const TCandlePiece& piece : CandlePieces)
    if (TImage* image = FindImage(piece.name)) image->SetAlpha(visible ? ratio : 0.0f);
  mModel->SetCandleWindow(visible);
}

void TScene::ShowInfoBox(const TString& text) {
  mInfoBoxClock.Pause();
  mInfoBoxClock.Reset();
  mInfoBoxAlpha = 1.0f;
  RevealBox("shorttextBg", "shorttextText", text);
  if (mModel->IsInfoTextAtCursor()) PlaceInfoBoxAtCursor();
  mInfoBoxClock.Start();
}
