// The movie host behind the window script's "StartMovie", "IsMoviePlaying" and "StopMovie":
// without a player it fails and the game draws on; with a fake player it loads the movie,
// hands it its texts and gives the drawing back when it closes.

#include "host/flash_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/host_platform.h"
#include "host/host_windows.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "windows/windows_test_util.h"

namespace {

// What the fake player is told to answer, and what it saw ("Create", "Movie=<path>", ...).
struct TFakePlayerScript {
  uint32_t version = 9u << 16;
  std::string textVarNames;
  bool stopWorks = true;
  bool playing = true;
  std::vector<std::string> calls;
  int alive = 0;
};
TFakePlayerScript gPlayer;

class TFakePlayer : public IMoviePlayer {
 public:
  TFakePlayer() { gPlayer.alive++; }
  ~TFakePlayer() override { gPlayer.alive--; }
  bool Create(int32_t width, int32_t height, bool interactive) override {
    Log("Create " + std::to_string(width) + "x" + std::to_string(height) + (interactive ? " interactive" : ""));
    return true;
  }
  void Destroy() override { Log("Destroy"); }
  bool GetVersion(uint32_t& version) override {
    version = gPlayer.version;
    return true;
  }
  bool PutProperty(const char* name, const TString& value) override {
    Log(std::string(name) + "=" + value.c_str());
    return true;
  }
  bool PutProperty(const char* name, bool value) override {
    Log(std::string(name) + "=" + (value ? "true" : "false"));
    return true;
  }
  bool GetProperty(const char* name, bool& value) override {
    value = gPlayer.playing;
    return std::string(name) == "Playing";
  }
  bool Call(const char* name, const std::vector<TString>& arguments, TString* result) override {
    std::string line = name;
    for (const TString& argument : arguments) line += std::string(" ") + argument.c_str();
    Log(line);
    if (std::string(name) == "GetVariable" && result) *result = gPlayer.textVarNames.c_str();
    return std::string(name) != "Stop" || gPlayer.stopWorks;
  }

 private:
  static void Log(const std::string& line) { gPlayer.calls.push_back(line); }
};

std::unique_ptr<IMoviePlayer> MakeFakePlayer() { return std::make_unique<TFakePlayer>(); }

class TCursorPlatform : public IHostPlatform {
 public:
  bool IsCursorVisible() override { return cursorVisible; }
  void SetCursorVisible(bool visible) override { cursorVisible = visible; }
  void GetClientSize(int32_t& width, int32_t& height) override { width = 640, height = 480; }
  bool cursorVisible = true;
};

class FlashHostTest : public TWindowsTest {
 protected:
  void SetUp() override {
    TWindowsTest::SetUp();
    gPlayer = TFakePlayerScript();
    SetHostPlatform(&mPlatform);
    InstallHostWindows(Manager());
    WriteAsset("movies/intro.swf", "movie");
  }
  void TearDown() override {
    SetMoviePlayerMaker(nullptr);
    SetMovieHostMaker(nullptr);
    SetHostPlatform(nullptr);
    SetStringTable(nullptr);
    TWindowsTest::TearDown();
  }
  std::string Movie() { return (mRoot / "assets/movies/intro.swf").ToStd(); }

  TCursorPlatform mPlatform;
};

}  // namespace

TEST_F(FlashHostTest, WithoutAPlayerStartMovieFailsAndTheGameDrawsOn) {
  EXPECT_EQ(Lua("started = StartMovie('movies/intro.swf', true, true)"), "");
  EXPECT_EQ(Global("started"), "false");
  EXPECT_EQ(Lua("playing = IsMoviePlaying(); StopMovie()"), "");
  EXPECT_EQ(Global("playing"), "false");
  EXPECT_FALSE(Manager().IsDrawSuspended());
  EXPECT_FALSE(Manager().IsMovieInput());
  EXPECT_TRUE(mPlatform.cursorVisible);
}

TEST_F(FlashHostTest, AMovieTakesTheScreenUntilItStops) {
  SetMoviePlayerMaker(&MakeFakePlayer);
  mPlatform.cursorVisible = true;
  EXPECT_EQ(Lua("started = StartMovie('movies/intro.swf', false, true)"), "");
  EXPECT_EQ(Global("started"), "true");
  EXPECT_EQ(gPlayer.calls, (std::vector<std::string>{"Create 640x480 interactive", "Movie=" + Movie(), "Loop=false"}));
  EXPECT_TRUE(Manager().IsDrawSuspended());
  EXPECT_TRUE(Manager().IsMovieInput());
  EXPECT_FALSE(mPlatform.cursorVisible);
  EXPECT_EQ(Lua("playing = IsMoviePlaying()"), "");
  EXPECT_EQ(Global("playing"), "true");

  // A second movie closes the first host before it opens.
  gPlayer.calls.clear();
  EXPECT_EQ(Lua("StartMovie('" + Movie() + "', false, false)"), "") << "a path outside the assets plays too";
  EXPECT_EQ(gPlayer.calls, (std::vector<std::string>{"Destroy", "Create 640x480", "Movie=" + Movie(), "Loop=false"}));
  EXPECT_EQ(gPlayer.alive, 1);
  EXPECT_FALSE(Manager().IsMovieInput());
  EXPECT_EQ(Lua("StopMovie()"), "");
  EXPECT_EQ(gPlayer.alive, 0);
  EXPECT_FALSE(Manager().IsDrawSuspended());
  EXPECT_TRUE(mPlatform.cursorVisible);
}

TEST_F(FlashHostTest, TextModeHandsTheMovieItsTexts) {
  SetMoviePlayerMaker(&MakeFakePlayer);
  TStringTable strings;
  strings.Set("title", "Das Nebeltal");
  strings.Set("FLASH_skip", "Weiter");
  strings.Set("other", "nicht für Filme");
  SetStringTable(&strings);
  gPlayer.textVarNames = "title;missing;tail";
  TFlashHost host("movies/intro.swf");
  ASSERT_TRUE(host.Open(false, true, false));
  EXPECT_EQ(gPlayer.calls,
            (std::vector<std::string>{"Create 640x480", "Movie=" + Movie(), "Loop=false", "Stop",
                                      "GetVariable textvarnames", "SetVariable title Das Nebeltal",
                                      "SetVariable missing #####", "SetVariable skip Weiter", "Play"}));
}

TEST_F(FlashHostTest, MoviesThatCannotPlayLeaveNoHost) {
  SetMoviePlayerMaker(&MakeFakePlayer);
  struct TCase {
    const char* what;
    const char* name;
    uint32_t major;
    const char* least;
    bool stopWorks;
    bool textMode;
  } cases[] = {
      {"no such movie", "movies/none.swf", 9, "", true, false},
      {"text mode needs version 6", "movies/intro.swf", 5, "", true, true},
      {"the setting never lowers the least version", "movies/intro.swf", 3, "3", true, false},
      {"the setting raises it", "movies/intro.swf", 7, "8", true, false},
      {"a failing Stop plays nothing", "movies/intro.swf", 9, "", false, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    gPlayer = TFakePlayerScript();
    gPlayer.version = c.major << 16;
    gPlayer.stopWorks = c.stopWorks;
    SetConfig("flashmajorversion", c.least);
    TFlashHost host(c.name);
    EXPECT_FALSE(host.Open(false, c.textMode, false));
    EXPECT_EQ(gPlayer.alive, 0);
    EXPECT_EQ(std::count(gPlayer.calls.begin(), gPlayer.calls.end(), "Play"), 0);
    EXPECT_FALSE(Manager().IsDrawSuspended());
    EXPECT_TRUE(mPlatform.cursorVisible);
  }
  SetConfig("flashmajorversion", "");
  SetConfig("dxbroken", "1");
  TFlashHost host("movies/intro.swf");
  EXPECT_FALSE(host.Open(false, false, false)) << "no movie while the display is unusable";
}
