#include "scenes/cutscene_window.h"

#include <algorithm>
#include <limits>

#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "model/cutscene.h"
#include "model/cutscene_moods.h"
#include "model/highscore_system.h"
#include "platform/log.h"
#include "scenes/cutscene_character_window.h"
#include "scenes/scene_internal.h"
#include "scenes/textbox.h"
#include "sound/sound.h"
#include "windows/image_window.h"

namespace {

const char* const ScriptFunctions[] = {"StartCutscene", "StopCutscene", "PauseCutscene", "ResumeCutscene"};

// Where "bg" and "charWindow" stand in each of the shake's four phases.
struct TShakePhase {
  TPoint bg;
  TPoint characters;
};
const TShakePhase ShakePhases[4] = {
    {{10, -10}, {10, -40}},
    {{10, 10}, {10, -20}},
    {{-10, 10}, {-10, -20}},
    {{-10, -10}, {-10, -40}},
};

int32_t ScreenWidth() { return scene::ConfigInt("screenwidth"); }
int32_t ScreenHeight() { return scene::ConfigInt("screenheight"); }

// A number as an int32, saturated (texture sides are unsigned).
int32_t Clamp32(int64_t value) {
  return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

struct TBoxLook {
  TString font;
  int32_t fontHeight;
  TColor colour;
  int32_t maxLines;
};

TBoxLook LookFromSettings(const char* font, const char* fontHeight, const char* colour, const char* maxLines) {
  return TBoxLook{scene::Config(font), scene::ConfigInt(fontHeight), scene::Colour(scene::Config(colour)),
                  scene::ConfigInt(maxLines)};
}

// A text box over the rectangle (never of negative size).
TTextbox* AddTextbox(TWindow& parent, const char* name, const TString& text, const TRect& rect, int32_t alignment,
                     const TBoxLook& look) {
  auto box = std::make_unique<TTextbox>(false);
  box->Setup(text, std::max(rect.Width(), 0), std::max(rect.Height(), 0), alignment, look.font, look.fontHeight,
             look.colour, look.maxLines);
  box->SetName(name);
  box->SetPosition(rect.left, rect.top);
  return scene::AttachChild(parent, std::move(box));
}

TRect RectOf(const TImage* image) { return image ? image->GetRect() : TRect(); }

// The rectangle's size less twice (bx, by), with its top-left corner at (x, y).
TRect Inset(const TRect& rect, int32_t x, int32_t y, int32_t bx, int32_t by) {
  int32_t width = Clamp32(int64_t(rect.Width()) - 2 * int64_t(bx));
  int32_t height = Clamp32(int64_t(rect.Height()) - 2 * int64_t(by));
  return TRect(x, y, Clamp32(int64_t(x) + width), Clamp32(int64_t(y) + height));
}

// A picture sprite (layer 0) with the file's texture; without a file it has none.
std::shared_ptr<TSprite> MakePicture(const TString* file) {
  std::shared_ptr<TSprite> sprite = TSprite::Create(0);
  if (file && !file->IsEmpty()) sprite->SetTexture(TTexture::Get(*file, 0));
  return sprite;
}

void PlaceAt(TSprite& sprite, int32_t x, int32_t y) {
  TSpriteDrawParams params(TVec2(float(x), float(y)), 1.0f, 1.0f, SpriteAnchored);
  params.anchor = TVec2(0, 0);
  sprite.SetDrawParams(params);
}

}  // namespace

TCutsceneWindow::TCutsceneWindow() {
  mCutscene = GameModel<CCutscene>(mStandIn);
  mCutsceneBinding.Bind("StartCutscene", this, &TCutsceneWindow::StartCutscene);
  mCutsceneBinding.Bind("StopCutscene", this, &TCutsceneWindow::StopCutscene);
  mCutsceneBinding.Bind("PauseCutscene", this, &TCutsceneWindow::PauseCutscene);
  mCutsceneBinding.Bind("ResumeCutscene", this, &TCutsceneWindow::ResumeCutscene);
  HighscoreSystem::PausePlay();
}

TCutsceneWindow::~TCutsceneWindow() {
  for (const char* name : ScriptFunctions) mCutsceneBinding.Clear(name);
  HighscoreSystem::StartPlay();
  mStepSound.reset();
}

std::unique_ptr<TWindow> TCutsceneWindow::Create() { return std::make_unique<TCutsceneWindow>(); }

void TCutsceneWindow::PostCreate(TWindowStyle& style) {
  if (TImage* stage = scene::AddImage(*this, "stageBg", mCutscene->GetStageBg(), 0, 0, 1.0f))
    stage->SetSize(ScreenWidth(), ScreenHeight());
  AddSpeechBoxes();
  AddCharacterLayer();
  AddBandsAndTexts();
  TScene::PostCreate(style);
}

void TCutsceneWindow::AddSpeechBoxes() {
  const TImage* nameBg =
      scene::AddImage(*this, "nameBg", scene::Config("csWNameTextBackground"), scene::ConfigInt("csWNameTextXcoord"),
                      scene::ConfigInt("csWNameTextYcoord"), 0.0f);
  AddTextbox(
      *this, "nameText", TString(), RectOf(nameBg), 5,
      LookFromSettings("csWNameTextFont", "csWNameTextFontHeight", "csWNameTextFontColor", "csWNameTextMaxLines"));

  struct TSpeechSide {
    const char *background, *text, *picture, *x, *y, *borderX, *borderY, *font, *fontHeight, *colour, *maxLines;
  };
  const TSpeechSide sides[] = {
      {"textBgLeft", "textTextLeft", "csWLTextBackground", "csWLTextXcoord", "csWLTextYcoord", "csWLTextBoxBorderX",
       "csWLTextBoxBorderY", "csWLTextFont", "csWLTextFontHeight", "csWLTextFontColor", "csWLTextMaxLines"},
      {"textBgRight", "textTextRight", "csWRTextBackground", "csWRTextXcoord", "csWRTextYcoord", "csWRTextBoxBorderX",
       "csWRTextBoxBorderY", "csWRTextFont", "csWRTextFontHeight", "csWRTextFontColor", "csWRTextMaxLines"},
  };
  for (const TSpeechSide& side : sides) {
    TRect rect = RectOf(scene::AddImage(*this, side.background, scene::Config(side.picture), scene::ConfigInt(side.x),
                                        scene::ConfigInt(side.y), 0.0f));
    int32_t bx = scene::ConfigInt(side.borderX), by = scene::ConfigInt(side.borderY);
    AddTextbox(*this, side.text, TString(),
               Inset(rect, scene::AddSaturated(rect.left, bx), scene::AddSaturated(rect.top, by), bx, by), 4,
               LookFromSettings(side.font, side.fontHeight, side.colour, side.maxLines));
  }
}

void TCutsceneWindow::AddCharacterLayer() {
  auto characters = std::make_unique<TCutsceneCharacterWindow>();
  characters->SetName("charWindow");
  characters->SetPosition(0, 0);
  characters->SetSize(ScreenWidth(), ScreenHeight());
  TCutsceneCharacterWindow* stage = scene::AttachChild(*this, std::move(characters));
  if (!stage) return;
  TBoxLook letter{mCutscene->GetLetterFont(), mCutscene->GetLetterFontSize(),
                  scene::Colour(scene::Config("csWLetterFontColor")), scene::ConfigInt("csWLetterMaxLines")};
  AddTextbox(*stage, "letterText", " ", TRect(0, 0, 1024, 768), 0, letter);
}

void TCutsceneWindow::AddBandsAndTexts() {
  const int32_t width = ScreenWidth();
  TImage* top = scene::AddImage(*this, "borderTop", scene::Config("csBorderTop"), 0, 0, 1.0f);
  if (top) top->SetSize(width, RectOf(top).Height());
  TImage* bottom = scene::AddImage(*this, "borderBottom", scene::Config("csBorderBottom"), 0, 0, 1.0f);
  if (bottom) {
    int32_t band = RectOf(bottom).Height();
    bottom->SetPosition(0, Clamp32(int64_t(ScreenHeight()) - band));
    bottom->SetSize(width, band);
  }

  int32_t x = scene::ConfigInt("csWClickToContinueTextXcoord"), y = scene::ConfigInt("csWClickToContinueTextYcoord");
  TRect click(x, y, scene::AddSaturated(x, scene::ConfigInt("csWClickToContinueTextBoxWidth")),
              scene::AddSaturated(y, scene::ConfigInt("csWClickToContinueTextBoxHeight")));
  if (TTextbox* box = AddTextbox(*this, "clickToContinue", scene::Text("clickToContinue"), click, 8,
                                 LookFromSettings("csWClickToContinueTextFont", "csWClickToContinueTextFontHeight",
                                                  "csWClickToContinueTextFontColor", "csWClickToContinueTextMaxLines")))
    box->SetAlpha(1.0f);

  // The narration stands above its band (top less the border), unlike the speech boxes.
  TRect band = RectOf(bottom);
  int32_t bx = scene::ConfigInt("csWOffsetTextBoxBorderX"), by = scene::ConfigInt("csWOffsetTextBoxBorderY");
  AddTextbox(*this, "envText", TString(),
             Inset(band, scene::AddSaturated(band.left, bx), Clamp32(int64_t(band.top) - by), bx, by), 5,
             LookFromSettings("csWOffsetTextFont", "csWOffsetTextFontHeight", "csWOffsetTextFontColor",
                              "csWOffsetTextMaxLines"));
}

// ---- Steps ----

void TCutsceneWindow::OnFadeInCompleted() {
  SetUpStage();
  mPlaybackState = Running;
  ShowCurrentStep();
}

void TCutsceneWindow::StartCutscene() {
  mPlaybackState = Running;
  ShowCurrentStep();
}

void TCutsceneWindow::PauseCutscene() {
  mSavedState = mPlaybackState;
  mPlaybackState = Paused;
}

void TCutsceneWindow::ResumeCutscene() {
  mPlaybackState = mSavedState;
  mSavedState = Paused;
}

void TCutsceneWindow::ShowCurrentStep() {
  // A loop, not a recursion: a long run of silent steps passes in one call without deepening
  // the stack.
  while (ShowStep()) {
    CCutsceneScript* script = mCutscene->GetScript();
    if (!script || !script->Advance()) {
      FinishScene();
      return;
    }
  }
}

const CCutsceneCharacter* TCutsceneWindow::CurrentSpeaker() const {
  CCutsceneScript* script = mCutscene->GetScript();
  CCutsceneScriptItem* item = script ? script->GetCurrentItem() : nullptr;
  return item ? mCutscene->GetCharacter(item->GetCharacterId()) : nullptr;
}

bool TCutsceneWindow::ShowStep() {
  CCutsceneScript* script = mCutscene->GetScript();
  CCutsceneScriptItem* item = script ? script->GetCurrentItem() : nullptr;
  if (!item) {
    LogPrintf("TCutsceneWindow: scene %d has no step %d to show", mCutscene->GetSeqId(),
              script ? script->GetCurrentStep() : 0);
    return false;
  }
  const CCutsceneCharacter* speaker = mCutscene->GetCharacter(item->GetCharacterId());
  int32_t position = speaker ? speaker->GetPosition() : -1;
  if (!speaker)
    LogPrintf("TCutsceneWindow: step %d of scene %d names \"%s\", who is not in the cast; only its sound plays",
              script->GetCurrentStep(), mCutscene->GetSeqId(), item->GetCharacterId().c_str());
  switch (position) {
    case CCutsceneCharacter::Narration:
      if (TTextbox* box = FindTextbox("envText")) box->SetText(scene::Text(item->GetText()));
      HideSpeechBoxes();
      break;
    case CCutsceneCharacter::Left:
    case CCutsceneCharacter::Right:
      ShowSpeaker(position, *speaker, item->GetMood(), item->GetText());
      break;
    case CCutsceneCharacter::Letter:
      ShowLetter(*speaker, item->GetMood(), item->GetText());
      break;
    case CCutsceneCharacter::ScreenShake:
      HideSpeechBoxes();
      UndimCharacter(CCutsceneCharacter::Left);
      UndimCharacter(CCutsceneCharacter::Right);
      mShaking = true;
      break;
    default:
      break;
  }
  PlayStepSound(item->GetSoundFile());
  return item->GetText().IsEmpty() && position != CCutsceneCharacter::Narration;
}

void TCutsceneWindow::ShowSpeaker(int32_t position, const CCutsceneCharacter& speaker, int32_t mood,
                                  const TString& text) {
  ClearText("letterText");
  if (text.IsEmpty()) {
    HideSpeechBoxes();
  } else {
    bool left = position == CCutsceneCharacter::Left;
    const char* own = left ? "textTextLeft" : "textTextRight";
    const char* other = left ? "textTextRight" : "textTextLeft";
    ClearText(other);
    ShowBackground(left ? "textBgRight" : "textBgLeft", false);
    ShowBackground(left ? "textBgLeft" : "textBgRight", true);
    if (TTextbox* box = FindTextbox(own)) box->SetText(scene::Text(text));
    ShowBackground("nameBg", true);
    if (TTextbox* name = FindTextbox("nameText")) name->SetText(scene::Text(speaker.GetName()));
  }
  SetCharacterImage(position, speaker.GetImage(mood), speaker.GetOffsetX());
  HighlightSpeaker(position);
  ClearText("envText");
}

void TCutsceneWindow::ShowLetter(const CCutsceneCharacter& speaker, int32_t mood, const TString& text) {
  ClearText("envText");
  HideSpeechBoxes();
  TRect letter = SetLetterImage(speaker.GetImage(mood));
  TTextbox* box = FindTextbox("letterText");
  if (!box) return;
  int32_t bx = scene::ConfigInt("csWLetterTextBoxBorderX"), by = scene::ConfigInt("csWLetterTextBoxBorderY");
  TRect inside = Inset(letter, Clamp32(int64_t(letter.left) + bx + speaker.GetOffsetX()),
                       scene::AddSaturated(letter.top, by), bx, by);
  box->SetSize(std::max(inside.Width(), 0), std::max(inside.Height(), 0));
  box->SetPosition(inside.left, inside.top);
  box->SetText(scene::Text(text));
}

void TCutsceneWindow::PlayStepSound(const TString& file) {
  if (file.IsEmpty()) return;
  if (mStepSound) mStepSound->StopAll();
  mStepSound = TSound::Get(file, 1, 1000);
  if (mStepSound) mStepSound->Play(false);
}

void TCutsceneWindow::ClearText(const char* name) {
  if (TTextbox* box = FindTextbox(name)) box->SetText(TString());
}

void TCutsceneWindow::ShowBackground(const char* name, bool shown) {
  if (TImage* image = FindImage(name)) image->SetAlpha(shown ? 1.0f : 0.0f);
}

void TCutsceneWindow::HideSpeechBoxes() {
  for (const char* name : {"textTextLeft", "textTextRight", "nameText"}) ClearText(name);
  for (const char* name : {"textBgLeft", "textBgRight", "nameBg"}) ShowBackground(name, false);
}

// ---- The stage ----

TCutsceneCharacterWindow* TCutsceneWindow::CharacterWindow() {
  return TCutsceneCharacterWindow::FromWindow(FindChild("charWindow"));
}

void TCutsceneWindow::SetUpStage() {
  for (int32_t position : {int32_t(CCutsceneCharacter::Left), int32_t(CCutsceneCharacter::Right)}) {
    if (const CCutsceneCharacter* first = mCutscene->FindCharacterAtPosition(position))
      SetCharacterImage(position, first->GetImage(MoodNormal), first->GetOffsetX());
  }
  if (const CCutsceneCharacter* speaker = CurrentSpeaker()) HighlightSpeaker(speaker->GetPosition());
}

void TCutsceneWindow::SetCharacterImage(int32_t position, const TString* file, int32_t offsetX) {
  TCutsceneCharacterWindow* stage = CharacterWindow();
  if (!stage) return;
  std::shared_ptr<TSprite> sprite = MakePicture(file);
  int64_t x = 0;
  if (position == CCutsceneCharacter::Left) {
    x = offsetX;
  } else if (position == CCutsceneCharacter::Right) {
    const std::shared_ptr<TTexture>& texture = sprite->GetTexture();
    x = int64_t(ScreenWidth()) - (texture ? int64_t(texture->GetWidth()) : 0) + offsetX;
  }
  PlaceAt(*sprite, Clamp32(x), scene::ConfigInt("csCharakterPositionY"));
  stage->SetSprite(position, sprite);
}

TRect TCutsceneWindow::SetLetterImage(const TString* file) {
  std::shared_ptr<TSprite> sprite = MakePicture(file);
  const std::shared_ptr<TTexture>& texture = sprite->GetTexture();
  int64_t width = texture ? int64_t(texture->GetWidth()) : 0, height = texture ? int64_t(texture->GetHeight()) : 0;
  // Signed: a letter larger than the screen stands centred, its corner off the screen.
  int32_t x = Clamp32((int64_t(ScreenWidth()) - width) / 2), y = Clamp32((int64_t(ScreenHeight()) - height) / 2);
  PlaceAt(*sprite, x, y);
  if (TCutsceneCharacterWindow* stage = CharacterWindow()) stage->SetSprite(CCutsceneCharacter::Letter, sprite);
  return TRect(x, y, Clamp32(x + width), Clamp32(y + height));
}

void TCutsceneWindow::HighlightSpeaker(int32_t position) {
  switch (position) {
    case CCutsceneCharacter::Narration:
      UndimCharacter(CCutsceneCharacter::Left);
      UndimCharacter(CCutsceneCharacter::Right);
      break;
    case CCutsceneCharacter::Left:
      UndimCharacter(CCutsceneCharacter::Left);
      DimCharacter(CCutsceneCharacter::Right);
      break;
    case CCutsceneCharacter::Right:
      UndimCharacter(CCutsceneCharacter::Right);
      DimCharacter(CCutsceneCharacter::Left);
      break;
    default:
      break;
  }
}

void TCutsceneWindow::DimCharacter(int32_t position) {
  TCutsceneCharacterWindow* stage = CharacterWindow();
  if (!stage || !stage->HasSprite(position)) return;
  float grey = scene::ConfigFloat("csCharakterAlphaOnInactive");
  stage->GetSprite(position)->GetDrawParams().colour = TColor{grey, grey, grey, 1};
}

void TCutsceneWindow::UndimCharacter(int32_t position) {
  TCutsceneCharacterWindow* stage = CharacterWindow();
  if (!stage || !stage->HasSprite(position)) return;
  stage->GetSprite(position)->GetDrawParams().colour = TColor{1, 1, 1, 1};
}

// ---- Frames and clicks ----

bool TCutsceneWindow::Animate() {
  if (mShaking) StepShake();
  return TScene::Animate();
}

void TCutsceneWindow::PlaceShaken(TPoint bg, TPoint characters) {
  if (TWindow* window = FindChild("bg")) window->SetPosition(bg.x, bg.y);
  if (TWindow* window = FindChild("charWindow")) window->SetPosition(characters.x, characters.y);
}

void TCutsceneWindow::StepShake() {
  int32_t duration = scene::ConfigInt("csShakeDurationInMs"), rotations = scene::ConfigInt("csShakeRotations");
  if (!mShakeBegun) {
    mShakeBegun = true;
    mShakeStart = GetClockTime();
    BlockInput(0, duration);
  }
  int64_t elapsed = std::max<int64_t>(int64_t(GetClockTime()) - int64_t(mShakeStart), 0);
  int32_t period = rotations > 0 ? duration / rotations : 0;
  if (period <= 0 && !mShakePeriodReported) {
    // The phase divides by the period: without one the picture holds its first offset.
    mShakePeriodReported = true;
    LogPrintf("TCutsceneWindow: a shake of %d ms in %d rotations has no period; it holds one offset", duration,
              rotations);
  }
  const TShakePhase& phase = ShakePhases[period > 0 ? (elapsed / period) % 4 : 0];
  PlaceShaken(phase.bg, phase.characters);
  if (elapsed < duration) return;

  mShakeBegun = false;
  // A shake that ends once the scene is done (or before it began) does not start another:
  // it would block input again and again during the fade-out.
  if (IsSceneStarted() && !IsSceneFinished()) {
    CCutsceneScript* script = mCutscene->GetScript();
    if (script && script->Advance())
      ShowCurrentStep();
    else
      FinishScene();
  }
  // Cleared after the next step has shown: a shake step right after a shake does not shake.
  mShaking = false;
  PlaceShaken(TPoint(0, 0), TPoint(0, 0));
}

bool TCutsceneWindow::OnMouseDown(TPoint point) {
  if (scene::GlobalBool("showBriefingWindow")) return true;
  bool handled = TScene::OnMouseDown(point);
  if (handled || !IsSceneStarted() || IsSceneFinished()) return handled;
  CCutsceneScript* script = mCutscene->GetScript();
  if (script && script->Advance())
    ShowCurrentStep();
  else
    FinishScene();
  return true;
}

void TCutsceneWindow::ExitScene() {
  if (CCutsceneScript* script = mCutscene->GetScript()) script->Rewind();
  TScene::ExitScene();
}
