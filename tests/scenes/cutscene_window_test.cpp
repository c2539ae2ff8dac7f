// The cutscene screen: steps shown by the speaker's stage position (narration, left and
// right speakers with the other side dimmed, the letter, the shake), silent steps passing at
// once, the shake's phases and input block, the way back to step 1, the script functions
// across two windows, and the character layer.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "model/cutscene.h"
#include "model/cutscene_moods.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/level.h"
#include "platform/settings.h"
#include "scene_window_test_util.h"
#include "scenes/cutscene_character_window.h"
#include "scenes/cutscene_window.h"
#include "scenes/textbox.h"
#include "sound/sound.h"
#include "windows/image_window.h"

namespace {

const TColor Full{1, 1, 1, 1};
const TColor Dimmed{0.5f, 0.5f, 0.5f, 1};

struct TStep {
  const char* speaker;
  const char* mood;
  const char* text;
  const char* sound;
};

class CutsceneWindowTest : public TSceneWindowTest {
 protected:
  void SetUp() override {
    TSceneWindowTest::SetUp();
    Manager().RegisterWindowType("CutsceneWindow", &TCutsceneWindow::Create);
    Solid("pics/mara_normal.png", 60, 100, 0xFF3060C0);
    Solid("pics/mara_happy.png", 60, 100, 0xFF60C030);
    Solid("pics/opa_normal.png", 70, 110, 0xFF806040);
    Solid("pics/opa_happy.png", 70, 110, 0xFFC08040);
    Solid("pics/letter.png", 200, 100, 0xFFF0E0C0);
    Solid("pics/wide_letter.png", 400, 100, 0xFFF0E0C0);
    Solid("pics/name.png", 60, 20, 0xFF202020);
    Solid("pics/speech.png", 100, 40, 0xFFFFFFFF);
    Solid("pics/band.png", 320, 20, 0xFF000000);
    const std::map<const char*, const char*> settings = {
        {"csWNameTextBackground", "pics/name.png"}, {"csWNameTextXcoord", "130"}, {"csWNameTextYcoord", "150"},
        {"csWLTextBackground", "pics/speech.png"},  {"csWLTextXcoord", "10"},     {"csWLTextYcoord", "175"},
        {"csWLTextBoxBorderX", "5"},                {"csWLTextBoxBorderY", "6"},  {"csWRTextBackground", "pics/speech.png"},
        {"csWRTextXcoord", "210"},                  {"csWRTextYcoord", "175"},    {"csWRTextBoxBorderX", "5"},
        {"csWRTextBoxBorderY", "6"},                {"csBorderTop", "pics/band.png"}, {"csBorderBottom", "pics/band.png"},
        {"csWOffsetTextBoxBorderX", "4"},           {"csWOffsetTextBoxBorderY", "30"},
        {"csCharakterPositionY", "40"},             {"csCharakterAlphaOnInactive", "0.5"},
        {"csWLetterTextBoxBorderX", "10"},          {"csWLetterTextBoxBorderY", "8"},
        {"csShakeDurationInMs", "1000"},            {"csShakeRotations", "10"},
    };
    for (const auto& [key, value] : settings) SetConfig(key, value);
    for (const char* key : {"csWNameTextMaxLines", "csWLTextMaxLines", "csWRTextMaxLines", "csWOffsetTextMaxLines",
                            "csWLetterMaxLines", "csWClickToContinueTextMaxLines"})
      SetConfig(key, "3");
    mStrings.Set("MARA", "Mara");
    mStrings.Set("OPA", "Opa Hinnerk");
    for (const char* label : {"N1", "N2", "M1", "M2", "O1", "O2", "L1", "BANG"}) mStrings.Set(label, label);
    mStrings.Set("clickToContinue", "Weiter mit Klick");
  }

  // The cast: the narrator, Mara on the left (offset 5), grandpa on the right (offset -3),
  // grandpa's letter, the door that shakes the stage.
  std::unique_ptr<CCutscene> MakeCutscene(const std::vector<TStep>& steps, const char* letter = "pics/letter.png") {
    auto cutscene = std::make_unique<CCutscene>();
    // Each cutscene of a test is a scene of its own.
    cutscene->SetSeqId(mNextSeqId++);
    cutscene->SetNextScene(120001);
    cutscene->SetLetterFont("");
    cutscene->SetLetterFontSize(12);
    AddCharacter(*cutscene, "erzaehler", "", CCutsceneCharacter::Narration, 0, {});
    AddCharacter(*cutscene, "mara", "MARA", CCutsceneCharacter::Left, 5,
                 {{MoodNormal, "pics/mara_normal.png"}, {MoodFromName("happy"), "pics/mara_happy.png"}});
    AddCharacter(*cutscene, "opa", "OPA", CCutsceneCharacter::Right, -3,
                 {{MoodNormal, "pics/opa_normal.png"}, {MoodFromName("happy"), "pics/opa_happy.png"}});
    AddCharacter(*cutscene, "brief", "", CCutsceneCharacter::Letter, 4, {{MoodNormal, letter}});
    AddCharacter(*cutscene, "tuer", "", CCutsceneCharacter::ScreenShake, 0, {});
    auto script = std::make_unique<CCutsceneScript>();
    int32_t number = 1;
    for (const TStep& step : steps) {
      auto item = std::make_unique<CCutsceneScriptItem>();
      item->SetCharacterId(step.speaker);
      item->SetMood(MoodFromName(step.mood));
      item->SetText(step.text);
      item->SetSoundFile(step.sound ? TString(step.sound) : TString());
      script->AddItem(number++, std::move(item));
    }
    cutscene->SetScript(std::move(script));
    return cutscene;
  }
  static void AddCharacter(CCutscene& cutscene, const char* id, const char* name, int32_t position, int32_t offsetX,
                           const std::map<int32_t, const char*>& images) {
    auto character = std::make_unique<CCutsceneCharacter>();
    character->SetId(id);
    character->SetName(name);
    character->SetPosition(position);
    character->SetOffsetX(offsetX);
    for (const auto& [mood, file] : images) character->SetImage(mood, file);
    cutscene.AddCharacter(std::move(character));
  }
  // The cutscene as the current scene in a level of its own.
  CCutscene& Use(std::unique_ptr<CCutscene> cutscene) {
    CCutscene& raw = *cutscene;
    auto level = std::make_unique<CLevel>();
    level->SetSeqId(raw.GetSeqId());
    level->AddScene(std::move(cutscene));
    CGame::GetInstance()->AddLevel(std::move(level));
    CGame::GetInstance()->SetCurrentScene(raw.GetSeqId());
    return raw;
  }
  // Opens the cutscene and runs frames until its fade-in has shown the first step.
  TCutsceneWindow* Play(const std::vector<TStep>& steps) {
    Use(MakeCutscene(steps));
    return OpenAndFadeIn();
  }
  TCutsceneWindow* OpenAndFadeIn() {
    auto* window = WindowCast<TCutsceneWindow>(OpenScene("CutsceneWindow"));
    EXPECT_NE(window, nullptr);
    if (window) {
      EXPECT_TRUE(FramesUntil([&] { return window->GetPlaybackState() == TCutsceneWindow::Running; }, 10));
    }
    return window;
  }
  void Next() { Click(160, 100); }
  int32_t Step(TCutsceneWindow& window) { return window.GetCutscene().GetScript()->GetCurrentStep(); }
  std::string Text(const char* box) { return Textbox(box)->GetText().ToStd(); }
  float Alpha(const char* image) { return Image(image)->GetAlpha(); }
  TCutsceneCharacterWindow& Stage() { return *Find<TCutsceneCharacterWindow>("charWindow"); }
  std::shared_ptr<TSprite> Side(int32_t position) { return Stage().GetSprite(position); }
  TColor Tint(int32_t position) { return Side(position)->GetDrawParams().colour; }
  bool Shows(int32_t position, const char* file) {
    std::shared_ptr<TSprite> sprite = Side(position);
    return sprite && sprite->GetTexture() == TTexture::Get(file, 0);
  }
  TPoint Position(const char* name) {
    TRect rect = Manager().GetTopModal()->FindChild(name)->GetRect();
    return TPoint(rect.left, rect.top);
  }
  // The sprite's top-left corner as a point.
  static TPoint Corner(const TSprite& sprite) {
    TVec2 at = Translation(sprite);
    return TPoint(int32_t(at.x), int32_t(at.y));
  }

  int32_t mNextSeqId = 100101;
};

// A first narration step shows its text with no name and no speech box, both sides standing
// in their first mood in full colour (Mara at her offset, grandpa at the right edge moved by
// his). A speaker step shows its own box and the name, the other side dimmed and the text
// of the narration cleared; a narration in the middle leaves pictures and tints as they were.
// After the last step the scene goes on, once; the click-to-continue text never changes.
TEST_F(CutsceneWindowTest, NarrationAndSpeakersShowTheirBoxesAndTints) {
  TCutsceneWindow* window = Play({{"erzaehler", "normal", "N1", nullptr},
                                  {"mara", "happy", "M1", nullptr},
                                  {"opa", "normal", "O1", nullptr},
                                  {"erzaehler", "normal", "N2", nullptr}});
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(CHighscoreSystem::GetInstance()->IsPaused());
  EXPECT_EQ(Text("envText"), "N1");
  EXPECT_EQ(Text("nameText"), "");
  for (const char* hidden : {"nameBg", "textBgLeft", "textBgRight"}) EXPECT_EQ(Alpha(hidden), 0.0f) << hidden;
  ASSERT_TRUE(Shows(1, "pics/mara_normal.png"));
  ASSERT_TRUE(Shows(2, "pics/opa_normal.png"));
  EXPECT_EQ(Tint(1), Full);
  EXPECT_EQ(Tint(2), Full);
  EXPECT_EQ(Corner(*Side(1)), TPoint(5, 40));
  EXPECT_EQ(Corner(*Side(2)), TPoint(320 - 70 - 3, 40));
  EXPECT_EQ(Text("clickToContinue"), "Weiter mit Klick");

  Next();
  EXPECT_EQ(Text("textTextLeft"), "M1");
  EXPECT_EQ(Text("nameText"), "Mara");
  EXPECT_EQ(Text("envText"), "");
  EXPECT_EQ(Alpha("textBgLeft"), 1.0f);
  EXPECT_EQ(Alpha("nameBg"), 1.0f);
  EXPECT_EQ(Alpha("textBgRight"), 0.0f);
  EXPECT_TRUE(Shows(1, "pics/mara_happy.png"));
  EXPECT_EQ(Tint(1), Full);
  EXPECT_EQ(Tint(2), Dimmed);

  Next();
  EXPECT_EQ(Text("textTextRight"), "O1");
  EXPECT_EQ(Text("textTextLeft"), "");
  EXPECT_EQ(Text("nameText"), "Opa Hinnerk");
  EXPECT_EQ(Alpha("textBgLeft"), 0.0f);
  EXPECT_EQ(Alpha("textBgRight"), 1.0f);
  EXPECT_EQ(Tint(1), Dimmed);
  EXPECT_EQ(Tint(2), Full);
  // The speech box sits inside its background, moved and shrunk by the borders.
  EXPECT_EQ(Textbox("textTextRight")->GetRect(), TRect(215, 181, 305, 209));

  Next();
  EXPECT_EQ(Text("envText"), "N2");
  EXPECT_EQ(Text("textTextRight"), "");
  EXPECT_EQ(Alpha("nameBg"), 0.0f);
  EXPECT_TRUE(Shows(1, "pics/mara_happy.png"));
  EXPECT_EQ(Tint(1), Dimmed);
  EXPECT_EQ(Tint(2), Full);
  EXPECT_EQ(mFlow.calls, std::vector<std::string>{"music:"});

  Next();
  Next();
  EXPECT_EQ(mFlow.calls, (std::vector<std::string>{"music:", "next:1"}));
  EXPECT_EQ(Text("clickToContinue"), "Weiter mit Klick");
}

// Speaker steps without text pass one after another in a single click, each still putting
// its mood's picture up, highlighting its speaker and playing its sound (in place of the
// last one); an empty last step finishes the scene at once. A narration without text waits
// for its click.
TEST_F(CutsceneWindowTest, SilentStepsPassInOneCallAndASilentLastStepFinishes) {
  const std::string tone = ToneSound();
  TCutsceneWindow* window = Play({{"mara", "normal", "M1", nullptr},
                                  {"opa", "happy", "", tone.c_str()},
                                  {"mara", "happy", "", tone.c_str()},
                                  {"erzaehler", "normal", "", nullptr},
                                  {"opa", "normal", "", nullptr}});
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Step(*window), 1);
  std::shared_ptr<TSound> sound = TSound::Get(tone, 1, 1000);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->GetInstanceCount(), 0u);
  Next();
  EXPECT_EQ(Step(*window), 4);
  EXPECT_EQ(sound->GetInstanceCount(), 1u);
  EXPECT_TRUE(Shows(1, "pics/mara_happy.png"));
  EXPECT_TRUE(Shows(2, "pics/opa_happy.png"));
  EXPECT_EQ(Tint(1), Full);
  EXPECT_EQ(Tint(2), Dimmed);
  for (const char* box : {"textTextLeft", "textTextRight", "nameText", "envText"}) EXPECT_EQ(Text(box), "") << box;
  EXPECT_EQ(mFlow.calls, std::vector<std::string>{"music:"});
  Next();
  EXPECT_EQ(Step(*window), 5);
  EXPECT_EQ(mFlow.calls, (std::vector<std::string>{"music:", "next:1"}));
}

// Steps the cutscene cannot show do not stop it: a speaker not in the cast shows nothing
// (one log line) and waits for its click; a cutscene without a script finishes on a click.
TEST_F(CutsceneWindowTest, StepsItCannotShowDoNotStopTheCutscene) {
  TCutsceneWindow* window = Play({{"fremder", "normal", "N1", nullptr}, {"mara", "normal", "M1", nullptr}});
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(CountInLog("names \"fremder\", who is not in the cast"), 1);
  EXPECT_EQ(Text("envText"), "");
  Next();
  EXPECT_EQ(Text("textTextLeft"), "M1");
  Manager().PopModal();
  Send(EventIdle);

  std::unique_ptr<CCutscene> empty = MakeCutscene({});
  empty->SetScript(nullptr);
  Use(std::move(empty));
  ASSERT_NE(OpenAndFadeIn(), nullptr);
  Next();
  EXPECT_EQ(mFlow.calls, (std::vector<std::string>{"music:", "music:", "next:1"}));
}

// A letter step clears every speech box and the name and centres the letter; its text box
// takes the letter's size less the borders at the letter's corner moved by the borders and
// the speaker's offset. A letter wider than the screen stands centred with its corner left
// of the screen (not near x = 2^31). A later speaker step clears the letter text; the letter
// picture stays.
TEST_F(CutsceneWindowTest, TheLetterIsCentredWithItsTextInsideTheBorders) {
  struct TCase {
    const char* letter;
    TPoint corner;
    TRect text;
  };
  const TCase cases[] = {
      {"pics/letter.png", TPoint(60, 70), TRect(74, 78, 254, 162)},
      {"pics/wide_letter.png", TPoint(-40, 70), TRect(-26, 78, 354, 162)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.letter);
    Use(MakeCutscene({{"mara", "normal", "M1", nullptr}, {"brief", "normal", "L1", nullptr}, {"opa", "normal", "O1", nullptr}},
                     c.letter));
    TCutsceneWindow* window = OpenAndFadeIn();
    ASSERT_NE(window, nullptr);
    Next();
    for (const char* box : {"textTextLeft", "textTextRight", "nameText", "envText"}) EXPECT_EQ(Text(box), "") << box;
    EXPECT_EQ(Alpha("nameBg"), 0.0f);
    EXPECT_EQ(Alpha("textBgLeft"), 0.0f);
    ASSERT_TRUE(Stage().HasSprite(3));
    EXPECT_EQ(Corner(*Side(3)), c.corner);
    EXPECT_EQ(Text("letterText"), "L1");
    EXPECT_EQ(Textbox("letterText")->GetRect(), c.text);
    Next();
    EXPECT_EQ(Text("letterText"), "");
    EXPECT_TRUE(Stage().HasSprite(3));
    Manager().PopModal();
    Send(EventIdle);
  }
}

// A shake of 1000 ms in 10 rotations changes phase every 100 ms: "bg" visits its four
// offsets two and a half times, the characters move with it, and input is blocked for the
// whole second (a click does not advance). Then the next step shows and all stands still.
TEST_F(CutsceneWindowTest, TheShakeChangesPhaseEveryPeriodAndBlocksInput) {
  TCutsceneWindow* window = Play({{"mara", "normal", "M1", nullptr},
                                  {"tuer", "normal", "BANG", nullptr},
                                  {"opa", "normal", "O1", nullptr}});
  ASSERT_NE(window, nullptr);
  Next();
  EXPECT_TRUE(window->IsShaking());
  EXPECT_EQ(Tint(1), Full);
  EXPECT_EQ(Tint(2), Full);
  const std::map<std::pair<int, int>, TPoint> characters = {
      {{10, -10}, {10, -40}}, {{10, 10}, {10, -20}}, {{-10, 10}, {-10, -20}}, {{-10, -10}, {-10, -40}}};
  std::vector<TPoint> visits;
  int frames = 0;
  while (window->IsShaking() && frames < 100) {
    Frames(1);
    frames++;
    if (!window->IsShaking()) break;
    TPoint bg = Position("bg");
    EXPECT_EQ(Position("charWindow"), characters.at({bg.x, bg.y}));
    EXPECT_TRUE(window->IsInputBlocked());
    if (visits.empty() || visits.back() != bg) visits.push_back(bg);
    Next();
    EXPECT_EQ(Step(*window), 2);
  }
  const std::vector<TPoint> expected = {{10, -10}, {10, 10}, {-10, 10}, {-10, -10}, {10, -10},
                                        {10, 10},  {-10, 10}, {-10, -10}, {10, -10}, {10, 10}};
  EXPECT_EQ(visits, expected);
  EXPECT_EQ(frames, 41);
  EXPECT_EQ(Step(*window), 3);
  EXPECT_EQ(Text("textTextRight"), "O1");
  EXPECT_EQ(Position("bg"), TPoint(0, 0));
  EXPECT_EQ(Position("charWindow"), TPoint(0, 0));
  ASSERT_TRUE(FramesUntil([&] { return !window->IsInputBlocked(); }, 4));
}

// Regression: absent or too small shake settings divided by zero; now the picture holds
// its first offset (one log line) and the shake ends after its duration.
TEST_F(CutsceneWindowTest, AShakeWithoutAPeriodDoesNotDivideByZero) {
  struct TCase {
    const char* duration;
    const char* rotations;
    int frames;  // until the next step shows
  };
  for (const TCase& c : {TCase{"", "", 1}, TCase{"100", "", 5}, TCase{"50", "100", 3}, TCase{"100", "0", 5}}) {
    SCOPED_TRACE(std::string(c.duration) + "/" + c.rotations);
    SetConfig("csShakeDurationInMs", c.duration);
    SetConfig("csShakeRotations", c.rotations);
    Use(MakeCutscene({{"tuer", "normal", "BANG", nullptr}, {"opa", "normal", "O1", nullptr}}));
    TCutsceneWindow* window = OpenAndFadeIn();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->IsShaking());
    for (int i = 0; i < c.frames && window->IsShaking(); i++) {
      Frames(1);
      if (window->IsShaking()) {
        EXPECT_EQ(Position("bg"), TPoint(10, -10));
      }
    }
    EXPECT_FALSE(window->IsShaking());
    EXPECT_EQ(Step(*window), 2);
    Manager().PopModal();
    Send(EventIdle);
  }
}

// Regression: a shake that ended the scene kept its flag, so during the fade-out a new
// shake with a new input block began after every full duration (every frame for a duration
// of 0). Now the shake ends with the scene: the stage stands still and input is free.
TEST_F(CutsceneWindowTest, AShakeThatEndsTheSceneDoesNotStartAgain) {
  for (const char* duration : {"200", "0"}) {
    SCOPED_TRACE(duration);
    SetConfig("csShakeDurationInMs", duration);
    SetConfig("csShakeRotations", "2");
    mFlow.calls.clear();
    Use(MakeCutscene({{"mara", "normal", "M1", nullptr}, {"tuer", "normal", "BANG", nullptr}}));
    TCutsceneWindow* window = OpenAndFadeIn();
    ASSERT_NE(window, nullptr);
    Next();
    ASSERT_TRUE(FramesUntil([&] { return mFlow.calls.size() > 1; }, 20));
    EXPECT_EQ(mFlow.calls.back(), "next:1");
    EXPECT_FALSE(window->IsShaking());
    ASSERT_TRUE(FramesUntil([&] { return !window->IsInputBlocked(); }, 5));
    for (int i = 0; i < 20; i++) {
      Frames(1);
      EXPECT_FALSE(window->IsInputBlocked());
      EXPECT_EQ(Position("bg"), TPoint(0, 0));
    }
    Manager().PopModal();
    Send(EventIdle);
  }
}

// Once the scene has faded out, the script is back at step 1, so the next visit starts from
// the beginning; clicks during the briefing do nothing.
TEST_F(CutsceneWindowTest, LeavingAndComingBackStartsAtStepOne) {
  TCutsceneWindow* window = Play({{"mara", "normal", "M1", nullptr},
                                  {"opa", "normal", "O1", nullptr},
                                  {"erzaehler", "normal", "N1", nullptr}});
  ASSERT_NE(window, nullptr);
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  Next();
  EXPECT_EQ(Step(*window), 1);
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);
  Next();
  EXPECT_EQ(Step(*window), 2);
  EXPECT_EQ(Lua("Skip()"), "");
  ASSERT_TRUE(FramesUntil([&] { return mFlow.calls.back() == "open"; }, 20));
  CCutscene& cutscene = window->GetCutscene();
  EXPECT_EQ(cutscene.GetScript()->GetCurrentStep(), 1);
  Manager().PopModal();
  Send(EventIdle);
  CGame::GetInstance()->SetCurrentScene(cutscene.GetSeqId());
  window = OpenAndFadeIn();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Text("textTextLeft"), "M1");
}

// The four script functions reach the cutscene window built last. A window that goes
// while a later one stands leaves the names to the later one (regression: it set them to
// nil); the last one removes them. Pausing twice and resuming once leaves the cutscene
// paused.
TEST_F(CutsceneWindowTest, TheScriptFunctionsReachTheWindowBuiltLast) {
  TCutsceneWindow* first = Play({{"mara", "normal", "M1", nullptr}, {"opa", "normal", "O1", nullptr}});
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Lua("PauseCutscene() PauseCutscene() ResumeCutscene()"), "");
  EXPECT_EQ(first->GetPlaybackState(), TCutsceneWindow::Paused);
  EXPECT_EQ(Lua("StartCutscene()"), "");
  EXPECT_EQ(first->GetPlaybackState(), TCutsceneWindow::Running);

  std::unique_ptr<TWindow> second = TCutsceneWindow::Create();
  Manager().PopModal();
  Send(EventIdle);
  for (const char* name : {"StartCutscene", "StopCutscene", "PauseCutscene", "ResumeCutscene"})
    EXPECT_EQ(Global(name).rfind("function", 0), 0u) << name;
  EXPECT_EQ(Lua("StopCutscene()"), "");
  EXPECT_EQ(WindowCast<TCutsceneWindow>(second.get())->GetPlaybackState(), TCutsceneWindow::Stopped);
  second.reset();
  for (const char* name : {"StartCutscene", "StopCutscene", "PauseCutscene", "ResumeCutscene"})
    EXPECT_EQ(Global(name), "nil") << name;
  EXPECT_FALSE(CHighscoreSystem::GetInstance()->IsPaused());
}

// The character layer keeps one sprite per position under its root, draws nothing without
// sprites, and takes a click only while the briefing is shown.
TEST_F(CutsceneWindowTest, TheCharacterLayerKeepsOneSpritePerPosition) {
  TCutsceneCharacterWindow stage;
  std::shared_ptr<TSprite> first = TSprite::Create(0), second = TSprite::Create(0);
  stage.SetSprite(1, first);
  stage.SetSprite(1, second);
  ASSERT_EQ(stage.GetRootSprite()->GetChildren().size(), 1u);
  EXPECT_EQ(stage.GetRootSprite()->GetChildren().front(), second);
  EXPECT_EQ(first->GetParent(), nullptr);
  EXPECT_FALSE(stage.HasSprite(2));
  EXPECT_FALSE(stage.OnMouseDown(TPoint(1, 1)));
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  EXPECT_TRUE(stage.OnMouseDown(TPoint(1, 1)));
}

}  // namespace
