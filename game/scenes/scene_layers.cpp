// TScene: the layers every scene window builds in PostCreate, from back to front: "black",
// "bg" and "spriteWindow" at the back, then the model's text boxes, the next-searched-item
// box, the candle frame, the sky and hint layers, the darkness, the info box, the briefing
// box, the in-game cutscene bars with the skip text and button, the tutorial box and on top
// of everything the "transition" overlay. Overlays start hidden (alpha 0) and are found
// again by name when they are used.
//
// A layer sized from its texture gets 0 x 0 when the texture does not load, and the boxes
// inside such a layer are never given a negative size.

#include <algorithm>

#include "graphics/texture.h"
#include "model/game.h"
#include "model/scene.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"
#include "scenes/transition_window.h"
#include "windows/image_window.h"

TImage* scene::AddImage(TWindow& parent, const char* name, const TString& texture, int32_t x, int32_t y, float alpha) {
  auto image = std::make_unique<TImage>(true);
  image->SetName(name);
  image->SetPosition(x, y);
  if (!texture.IsEmpty()) image->SetTexture(TTexture::Get(texture, 0), 1.0f);
  image->SetAlpha(alpha);
  return scene::AttachChild(parent, std::move(image));
}

namespace {

using scene::AddImage;

const char* const NoSprite = "standard/sprites/no_sprite";
const char* const TransitionTexture = "standard/backgrounds/transition";
const char* const TutorialFont = "standard/fonts/arial.mvec";
const char* const PlaceholderText = "Test test";

int32_t ScreenWidth() { return scene::ConfigInt("screenwidth"); }
int32_t ScreenHeight() { return scene::ConfigInt("screenheight"); }

TImage* AddFullScreenImage(TWindow& parent, const char* name, const TString& texture, float alpha) {
  TImage* image = AddImage(parent, name, texture, 0, 0, alpha);
  if (image) image->SetSize(ScreenWidth(), ScreenHeight());
  return image;
}

struct TBoxStyle {
  int32_t alignment;
  TString font;
  int32_t lineHeight;
  TColor colour;
  int32_t maxLines;
};

TTextbox* AddTextbox(TWindow& parent, const char* name, const TString& text, int32_t width, int32_t height,
                     const TBoxStyle& style, int32_t x, int32_t y) {
  auto box = std::make_unique<TTextbox>(false);
  box->SetName(name);
  box->Setup(text, std::max(width, 0), std::max(height, 0), style.alignment, style.font, style.lineHeight,
             style.colour, style.maxLines);
  box->SetPosition(x, y);
  return scene::AttachChild(parent, std::move(box));
}

// A text box inside a background image, inset by the border settings on every side.
TTextbox* AddInsetTextbox(TWindow& parent, const char* name, const TImage* background, const char* borderWidthKey,
                          const char* borderHeightKey, const TBoxStyle& style, float alpha) {
  int32_t borderWidth = scene::ConfigInt(borderWidthKey), borderHeight = scene::ConfigInt(borderHeightKey);
  TRect rect = background ? background->GetRect() : TRect();
  TTextbox* box = AddTextbox(parent, name, PlaceholderText, rect.Width() - 2 * borderWidth,
                             rect.Height() - 2 * borderHeight, style, rect.left + borderWidth, rect.top + borderHeight);
  if (box) box->SetAlpha(alpha);
  return box;
}

TBoxStyle BoxStyleFromSettings(int32_t alignment, const char* fontKey, const char* lineHeightKey,
                               const char* colourKey, int32_t maxLines) {
  return TBoxStyle{alignment, scene::Config(fontKey), scene::ConfigInt(lineHeightKey),
                   scene::Colour(scene::Config(colourKey)), maxLines};
}

}  // namespace

void TScene::AddLayers() {
  if (mPendingSpriteWindow) {
    AddChild(mPendingSpriteWindow, true);
    mSpriteWindow->SetZOrderSimple(ZOrderBack);
  }
  if (TImage* bg = AddFullScreenImage(*this, "bg", mModel->GetBg(), 1.0f)) bg->SetZOrderSimple(ZOrderBack);
  if (TImage* black = AddFullScreenImage(*this, "black", TransitionTexture, 1.0f)) black->SetZOrderSimple(ZOrderBack);

  AddModelTextboxes();
  AddNextItemBox();
  AddCandleFrame();
  AddImage(*this, "skybehindhint", NoSprite, 0, 0, 0.0f);
  if (mPendingHintWindow) AddChild(mPendingHintWindow, true);
  AddFullScreenImage(*this, "hint", TString(), 1.0f);
  if (TTransitionWindow* darkness = scene::AttachChild(*this, std::make_unique<TTransitionWindow>())) {
    darkness->SetName("darkness");
    darkness->SetTexture(TTexture::Get(TransitionTexture, 0), 1.0f);
    darkness->SetSize(ScreenWidth(), ScreenHeight());
    darkness->SetAlpha(0.0f);
  }
  AddImage(*this, "skyinfrontofhint", NoSprite, 0, 0, 0.0f);

  mAlphaOfBlack = float(mModel->GetAlphaOfBlackRatio());
  SetCandleWindowVisible(mModel->IsCandleWindow());

  AddInfoBox();
  AddBriefingBox();
  AddCutsceneBars();
  AddTutorialBox();
  TTransitionWindow::AddOverlay(*this);
}

void TScene::AddModelTextboxes() {
  std::vector<CTextbox*> boxes = mModel->GetTextboxes();
  for (size_t i = 0; i < boxes.size(); i++) {
    const CTextbox& model = *boxes[i];
    TBoxStyle style{5, model.GetTextFont(), model.GetLineHeight(),
                    TColor{model.GetRed(), model.GetGreen(), model.GetBlue(), model.GetAlpha()}, 500};
    TString name = TString::Printf("text%zu", i);
    TTextbox* box = AddTextbox(*this, name.c_str(), scene::Text(model.GetText()), model.GetTextboxWidth(),
                               model.GetTextboxHeight(), style, model.GetTextboxPositionX(),
                               model.GetTextboxPositionY());
    if (box) box->SetRotation(float(model.GetRotation()), model.GetTextboxWidth() / 2, model.GetTextboxHeight() / 2);
  }
}

void TScene::AddNextItemBox() {
  AddImage(*this, "nsiBackground", NoSprite, mNsiPos.x, mNsiPos.y, 0.0f);
  AddImage(*this, "nsiinvItem", NoSprite, mNsiPos.x + scene::ConfigInt("advNextSearchedItemBorderLeft"),
           mNsiPos.y + scene::ConfigInt("advNextSearchedItemBorderTop"), 0.0f);
}

void TScene::AddCandleFrame() {
  AddImage(*this, "candle", "standard/backgrounds/candle", 0, 0, 0.0f);
  for (const char* piece : {"candle_topLeft", "candle_topRight", "candle_bottomLeft", "candle_bottomRight"})
    AddImage(*this, piece, "standard/backgrounds/candle_top", 0, 0, 0.0f);
  for (const char* piece : {"candle_middleLeft", "candle_middleRight"})
    AddImage(*this, piece, "standard/backgrounds/candle_middle", 0, 0, 0.0f);
}

void TScene::AddInfoBox() {
  TImage* background = AddImage(*this, "shorttextBg", scene::Config("infoboxTexture"),
                                scene::ConfigInt("infoboxTextureXPos"), scene::ConfigInt("infoboxTextureYPos"),
                                mInfoBoxAlpha);
  AddInsetTextbox(*this, "shorttextText", background, "infoboxTextBoxBorderWidth", "infoboxTextBoxBorderHeight",
                  BoxStyleFromSettings(5, "infoboxFont", "infoboxLineHeight", "infoboxFontColor", 100), mInfoBoxAlpha);
}

void TScene::AddBriefingBox() {
  TImage* background = AddImage(*this, "briefingWindowBg", scene::Config("briefingWindowTexture"), mBriefingBgPos.x,
                                mBriefingBgPos.y, mInfoBoxAlpha);
  if (background) mBriefingBgSize = TPoint(background->GetWidth(), background->GetHeight());
  AddInsetTextbox(*this, "briefingWindowText", background, "briefingWindowTextBoxBorderWidth",
                  "briefingWindowTextBoxBorderHeight",
                  BoxStyleFromSettings(5, "briefingWindowFont", "briefingWindowLineHeight", "briefingWindowFontColor",
                                       100),
                  mInfoBoxAlpha);
}

void TScene::AddCutsceneBars() {
  TImage* top = AddImage(*this, "borderTop", scene::Config("igcsTopTexture"), 0, 0, 1.0f);
  if (top) {
    top->SetSize(ScreenWidth(), top->GetHeight());
    top->SetPosition(0, -top->GetHeight());
  }
  TImage* bottom = AddImage(*this, "borderBottom", scene::Config("igcsBottomTexture"), 0, ScreenHeight(), 1.0f);
  if (bottom) bottom->SetSize(ScreenWidth(), bottom->GetHeight());
  if (!mModel->IsShowSkipButton()) return;

  int32_t width = scene::ConfigInt("csWSkipTextBoxWidth"), height = scene::ConfigInt("csWSkipTextBoxHeight");
  int32_t topHeight = top ? top->GetHeight() : 0;
  TBoxStyle style = BoxStyleFromSettings(10, "csWSkipTextFont", "csWSkipTextFontHeight", "csWSkipTextFontColor",
                                         scene::ConfigInt("csWSkipTextMaxLines"));
  AddTextbox(*this, "skipCS", scene::Text("skipCS"), width, height, style,
             ScreenWidth() - 2 * scene::ConfigInt("csWSkipTextBoxBorderX") - width,
             topHeight - 2 * scene::ConfigInt("csWSkipTextBoxBorderY") - height);
  CGame* game = CGame::GetInstance();
  if (game)
    AddImage(*this, "skipButton", game->GetCutsceneSkipButtonGraphic(), game->GetCutsceneSkipButtonPosX(),
             game->GetCutsceneSkipButtonPosY(), 1.0f);
}

void TScene::AddTutorialBox() {
  TImage* tutorial = AddFullScreenImage(*this, "tutorial", NoSprite, 0.0f);
  if (!tutorial) return;
  TBoxStyle style{5, TutorialFont, scene::ConfigInt("tutorialwindowlineheight"), scene::Colour("BLACK"), 100};
  if (TTextbox* text = AddTextbox(*tutorial, "tutorialtextText", PlaceholderText, 576, 89, style, 0, 0))
    text->SetAlpha(0.0f);
}
