#include "menus/options_window.h"

#include <gtest/gtest.h>

#include <string>

#include "menu_test_util.h"
#include "persistence/prefs_db.h"
#include "sound/sound.h"
#include "windows/button.h"
#include "windows/message.h"
#include "windows/slider.h"

namespace {

class OptionsTest : public TMenuTest {
 protected:
  void SetUp() override {
    TMenuTest::SetUp();
    WriteSound(TOptionsWindow::TestSoundName);
  }
  // The dialog as its window script builds it; the sliders sit in a panel of their own.
  TOptionsWindow* Build() {
    return Open<TOptionsWindow>(
        "OptionsWindow{ w = 400, h = 300,"
        " Button{ name = 'fullscreen', type = kToggle, w = 20, h = 20 },"
        " Button{ name = 'mutebox', type = kToggle, y = 30, w = 20, h = 20 },"
        " Window{ name = 'panel', y = 60, w = 300, h = 100,"
        "  Slider{ name = 'sfxlevelslider', hslider = true, w = 200, h = 20 },"
        "  Slider{ name = 'musiclevelslider', hslider = true, y = 40, w = 200, h = 20 } } }");
  }
  float Volume(int group) { return mSound->GetGroupVolume(group); }
  TSlider* Slider(const char* name) { return Child<TSlider>(name); }
  size_t TestSoundsPlaying() { return TSound::Get(TOptionsWindow::TestSoundName, 0, 1000)->GetInstanceCount(); }
  int Stored(const char* key, int user) { return Settings().GetPrefs().GetInt(key, -1, user); }
};

}  // namespace

// The stored values fill the controls and apply quietly; the sliders then act at once (the
// effects slider on the ungrouped sounds too, with the test sound from its start each
// time), and only "SaveVolumes" stores them: 0.4567 as 456.
TEST_F(OptionsTest, TheVolumesApplyLiveAndAreSavedForThePlayer) {
  Settings().CreateNewUser("Ann");
  Settings().CreateNewUser("Bob");
  TPrefsDB& prefs = Settings().GetPrefs();
  prefs.SetInt("soundlevel", 250, 1);
  prefs.SetInt("musiclevel", 600, 1);
  prefs.SetInt("soundoff", 1, 1);
  TOptionsWindow* options = Build();
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(Child<TButton>("mutebox")->GetToggleState());
  EXPECT_FALSE(Child<TButton>("fullscreen")->GetToggleState());
  EXPECT_FLOAT_EQ(Slider("sfxlevelslider")->GetValue(), 0.25f);
  EXPECT_FLOAT_EQ(Volume(1000), 0.25f);
  EXPECT_FLOAT_EQ(Volume(0), 0.25f);
  EXPECT_FLOAT_EQ(Volume(1001), 0.6f);
  EXPECT_EQ(TestSoundsPlaying(), 0u);

  Slider("sfxlevelslider")->SetValue(0.4567f, false);
  EXPECT_FLOAT_EQ(Volume(1000), 0.4567f);
  EXPECT_FLOAT_EQ(Volume(0), 0.4567f);
  EXPECT_FLOAT_EQ(Volume(1001), 0.6f);
  EXPECT_EQ(TestSoundsPlaying(), 1u);
  Slider("sfxlevelslider")->SetValue(0.5f, false);
  Slider("sfxlevelslider")->SetValue(0.4567f, false);
  EXPECT_EQ(TestSoundsPlaying(), 1u);
  Slider("musiclevelslider")->SetValue(0.3f, false);
  EXPECT_FLOAT_EQ(Volume(1001), 0.3f);
  EXPECT_FLOAT_EQ(Volume(1000), 0.4567f);
  EXPECT_EQ(TestSoundsPlaying(), 1u);
  EXPECT_EQ(Stored("soundlevel", 1), 250);

  EXPECT_EQ(Lua("SaveVolumes()"), "");
  EXPECT_EQ(Stored("soundlevel", 1), 456);
  EXPECT_EQ(Stored("musiclevel", 1), 300);
  EXPECT_EQ(Stored("soundlevel", 0), 700);  // Ann keeps hers
  EXPECT_EQ(Stored("soundlevel", -1), -1);

  // A press of the display switch sets it to the display's mode and goes on to the
  // script; slider messages stop at the window.
  Child<TButton>("fullscreen")->SetToggleState(true);
  TMessage press(MessageButtonPress, "fullscreen");
  EXPECT_FALSE(options->OnMessage(press));
  EXPECT_FALSE(Child<TButton>("fullscreen")->GetToggleState());
  TMessage slid(MessageSliderValChanged, "musiclevelslider");
  EXPECT_TRUE(options->OnMessage(slid));
  TMessage other(MessageSliderValChanged, "panel");
  EXPECT_FALSE(options->OnMessage(other));
}

// Without a current player the install-wide values are read and written; an absent value
// reads as the setting "defaultsoundvolume".
TEST_F(OptionsTest, WithoutAPlayerTheInstallWideValuesServe) {
  Settings().GetPrefs().SetInt("soundlevel", 100);
  TOptionsWindow* options = Build();
  ASSERT_NE(options, nullptr);
  EXPECT_FLOAT_EQ(Slider("sfxlevelslider")->GetValue(), 0.1f);
  EXPECT_FLOAT_EQ(Slider("musiclevelslider")->GetValue(), 0.7f);
  EXPECT_FALSE(Child<TButton>("mutebox")->GetToggleState());
  Slider("musiclevelslider")->SetValue(0.25f, false);
  options->SaveVolumes();
  EXPECT_EQ(Stored("soundlevel", -1), 100);
  EXPECT_EQ(Stored("musiclevel", -1), 250);
}

// A stored level opened and saved again stays the same level (251 came back as 250 when the
// float was cut), and a value is cut to whole thousandths.
TEST_F(OptionsTest, AStoredLevelSurvivesOpeningAndSaving) {
  for (int level = 0; level <= 1000; level++)
    ASSERT_EQ(TOptionsWindow::VolumeLevel(float(level) / 1000.0f), level) << level;
  const std::pair<float, int> cases[] = {{0.4567f, 456}, {0.9999f, 999}, {1.0f, 1000}, {0.0f, 0}};
  for (const auto& [value, level] : cases) EXPECT_EQ(TOptionsWindow::VolumeLevel(value), level) << value;
}

// Regression: "SaveVolumes" stayed bound to a destroyed options window. A call after the
// dialog has gone does nothing and logs a line; the next dialog takes the name over.
TEST_F(OptionsTest, SaveVolumesOutlivesNoWindow) {
  Settings().CreateNewUser("Ann");
  Build();
  Slider("sfxlevelslider")->SetValue(0.9f, false);
  Lua("PopModal('menu')");
  RunFramesUntil([] { return false; }, 2);
  EXPECT_EQ(Lua("SaveVolumes(); after = 1"), "");
  EXPECT_EQ(Global("after"), "1");
  EXPECT_EQ(CountInLog("a function of a window that is gone was called"), 1);
  EXPECT_EQ(Stored("soundlevel", 0), 700);
  Build();
  Slider("sfxlevelslider")->SetValue(0.9f, false);
  EXPECT_EQ(Lua("SaveVolumes()"), "");
  EXPECT_EQ(Stored("soundlevel", 0), 900);
}
