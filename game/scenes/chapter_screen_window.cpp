#include "scenes/chapter_screen_window.h"

#include <algorithm>

#include "graphics/texture.h"
#include "model/chapter_screen.h"
#include "model/highscore_system.h"
#include "platform/log.h"
#include "scenes/scene_internal.h"
#include "scenes/textbox.h"
#include "windows/image_window.h"

namespace {

// The gap between the location image and its text.
constexpr int32_t LocationTextGap = 8;

struct TCardText {
  const char* name;
  const char* font;
  const char* fontHeight;
  const char* fontColour;
  const char* maxLines;
};

// A text box of the card set up from its settings; answers it (owned by the caller).
std::unique_ptr<TTextbox> MakeCardText(const TCardText& keys, const TString& label, int32_t width, int32_t height,
                                       int32_t alignment) {
  auto box = std::make_unique<TTextbox>(false);
  box->SetName(keys.name);
  box->Setup(scene::Text(label), std::max(width, 0), std::max(height, 0), alignment, scene::Config(keys.font),
             scene::ConfigInt(keys.fontHeight), scene::Colour(scene::Config(keys.fontColour)),
             scene::ConfigInt(keys.maxLines));
  return box;
}

}  // namespace

TChapterScreenWindow::TChapterScreenWindow() {
  mChapterScreen = dynamic_cast<CChapterScreen*>(mModel);
  if (!mChapterScreen) {
    LogPrintf("TChapterScreenWindow: scene %d is no chapter screen; the card stays empty", mModel->GetSeqId());
    mStandIn = std::make_unique<CChapterScreen>();
    mChapterScreen = mStandIn.get();
  }
  HighscoreSystem::PausePlay();
}

TChapterScreenWindow::~TChapterScreenWindow() { HighscoreSystem::StartPlay(); }

std::unique_ptr<TWindow> TChapterScreenWindow::Create() { return std::make_unique<TChapterScreenWindow>(); }

void TChapterScreenWindow::PostCreate(TWindowStyle& style) {
  const CChapterScreen& card = *mChapterScreen;
  auto image = std::make_unique<TImage>(true);
  image->SetName("locationImage");
  image->SetPosition(card.GetLocationX(), card.GetLocationY());
  image->SetTexture(TTexture::Get(card.GetLocationImage(), 0), 1.0f);
  image->SetAlpha(0.0f);
  TImage* location = scene::AttachChild(*this, std::move(image));

  std::unique_ptr<TTextbox> text =
      MakeCardText({"locationText", "csLocationMarkTextFont", "csLocationMarkTextFontHeight",
                    "csLocationMarkTextFontColor", "csLocationMarkTextMaxLines"},
                   card.GetLocationText(), scene::ConfigInt("screenwidth"), scene::ConfigInt("screenheight"), 0);
  TRect extent;
  text->MeasureText(extent);
  text->SetSize(extent.Width(), extent.Height());
  TRect below = location ? location->GetRect() : TRect();
  text->SetPosition(below.left + (below.Width() / 2 - extent.Width() / 2), below.bottom + LocationTextGap);
  text->SetAlpha(mLocationTextAlpha);
  scene::AttachChild(*this, std::move(text));

  struct TTitleBox {
    TCardText keys;
    const TString& label;
    const char *width, *height, *x, *y;
    float alpha;
  };
  const TTitleBox titles[] = {
      {{"title", "csTitleTextFont", "csTitleTextFontHeight", "csTitleTextFontColor", "csTitleTextMaxLines"},
       card.GetTitle(), "csTitleTextBoxWidth", "csTitleTextBoxHeight", "csTitleTextBoxXcoord", "csTitleTextBoxYcoord",
       mTitleAlpha},
      {{"subtitle", "csSubtitleTextFont", "csSubtitleTextFontHeight", "csSubtitleTextFontColor",
        "csSubtitleTextMaxLines"},
       card.GetSubtitle(), "csSubtitleTextBoxWidth", "csSubtitleTextBoxHeight", "csSubtitleBorderXcoord",
       "csSubtitleBorderYcoord", mSubtitleAlpha},
  };
  for (const TTitleBox& title : titles) {
    int32_t width = scene::ConfigInt(title.width), height = scene::ConfigInt(title.height);
    std::unique_ptr<TTextbox> box = MakeCardText(title.keys, title.label, width, height, 1);
    box->SetSize(std::max(width, 0), std::max(height, 0));
    box->SetPosition(scene::ConfigInt(title.x), scene::ConfigInt(title.y));
    box->SetAlpha(title.alpha);
    scene::AttachChild(*this, std::move(box));
  }
  TScene::PostCreate(style);
}

void TChapterScreenWindow::FadePart(const char* startKey, const char* windowName, float& alpha, uint32_t time) {
  if (int64_t(time) < scene::ConfigInt(startKey) || alpha >= 1.0f) return;
  alpha = std::min(1.0f, alpha + float(scene::ConfigInt("csFadeSpeed")) / 1000.0f);
  if (TTextbox* box = FindTextbox(windowName)) box->SetAlpha(alpha);
}

bool TChapterScreenWindow::Animate() {
  if (!mChapterClock.IsPaused()) {
    uint32_t time = mChapterClock.GetTime();
    TImage* image = FindImage("locationImage");
    float imageAlpha = image ? image->GetAlpha() : 0.0f;
    // The image's alpha is not held at 1: a last step may take it past.
    if (image && int64_t(time) >= scene::ConfigInt("csStartLocationImage") && imageAlpha < 1.0f) {
      imageAlpha += float(scene::ConfigInt("csFadeSpeed")) / 1000.0f;
      image->SetAlpha(imageAlpha);
    }
    FadePart("csStartLocationText", "locationText", mLocationTextAlpha, time);
    FadePart("csStartTitle", "title", mTitleAlpha, time);
    FadePart("csStartSubtitle", "subtitle", mSubtitleAlpha, time);
    bool shown = imageAlpha >= 1.0f && mLocationTextAlpha >= 1.0f && mTitleAlpha >= 1.0f && mSubtitleAlpha >= 1.0f;
    if (shown && int64_t(time) > scene::ConfigInt("csSceneDuration")) {
      mChapterClock.Pause();
      FinishScene();
    }
  }
  return TScene::Animate();
}

bool TChapterScreenWindow::OnMouseDown(TPoint point) {
  if (scene::GlobalBool("showBriefingWindow")) return true;
  if (TScene::OnMouseDown(point)) return true;
  if (scene::GlobalBool("BlockSkipOnMouseClickOnChapterScreen")) return false;
  FinishScene();
  return true;
}

void TChapterScreenWindow::OnFadeInCompleted() { mChapterClock.Start(); }
