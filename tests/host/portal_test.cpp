// The portal host handler against a fake host on a real host channel: the wire format, the
// commands the game's state changes send, the host's codes, the wait state and the muting.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/fake_host.h"
#include "host/game_state.h"
#include "host/host_platform.h"
#include "host/msn_zylom_handler.h"
#include "host/portal.h"
#include "platform/os/host_channel.h"
#include "platform/test_util.h"
#include "sound/sound_manager.h"

namespace {

using TCommands = std::vector<std::string>;

class TRecordingHostPlatform : public IHostPlatform {
 public:
  bool IsExternalPlayerMode() override { return externalPlayer; }
  void ReleaseMouseCapture() override { captureReleases++; }
  void SetCursorVisible(bool visible) override { cursorVisible = visible; }
  void ShowArrowCursor() override { arrows++; }
  void RestoreGameCursor() override { cursorRestores++; }

  bool externalPlayer = false;
  bool cursorVisible = true;
  int captureReleases = 0, arrows = 0, cursorRestores = 0;
};

uint32_t FakeTicks() { return FakeNow; }

class PortalTest : public ::testing::Test {
 protected:
  PortalTest() : mTimer(100000) {}
  void SetUp() override {
    SetPortalTickSource(&FakeTicks);
    SetHostPlatform(&mPlatform);
    mSounds.SetMasterVolume(0.8f);
    ASSERT_TRUE(mChannel.Connect(mHost.Path())) << mChannel.Error();
    ASSERT_TRUE(mHost.Accept());
    SetPortalHostChannel(&mChannel);
  }
  void TearDown() override {
    DeleteGameState();
    ResetPortalModes();
    SetHostPlatform(nullptr);
    SetPortalTickSource(nullptr);
  }
  // The engine's start-up: the switches, then the command line to the game state.
  void Start(const char* commandLine) {
    std::string line = commandLine;
    if (line.find("-msn") != std::string::npos) StartMsnPortal();
    if (line.find("-zylom") != std::string::npos) StartZylomPortal();
    if (line.find("-aol") != std::string::npos) StartAolPortal();
    Send("cmdline", commandLine);
  }
  bool Send(const char* name, const char* value) { return GetGameState()->SendEvent(name, value); }
  void HostCode(int32_t code) { GetGameState()->PostIntEvent("windowmessage", code); }
  TString State(const char* name) { return GetGameState()->GetState(name); }
  float Volume() { return mSounds.GetGroupVolume(-1); }

  TFakeTimer mTimer;
  TSoundManager mSounds;
  TRecordingHostPlatform mPlatform;
  TFakeHost mHost;
  THostChannel mChannel;
};

}  // namespace

TEST_F(PortalTest, CommandsGoOutInEightByteMessagesEndingAtTheNul) {
  Start("game.exe -msn");
  Send("sessionready", "0");
  auto messages = mHost.TakeMessages();
  // 29 characters and the NUL: four messages, the last with the final five and the NUL.
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0], std::make_pair(0x73736553u, 0x526e6f69u));  // "Sess" "ionR"
  EXPECT_EQ(messages[3], std::make_pair(0x223e6174u, 0x00000029u));  // "ta>\"" ")\0\0\0"
  EXPECT_EQ(JoinCommands(messages), TCommands{"SessionReady(\"<data></data>\")"});
  // Once per process.
  Send("sessionready", "0");
  EXPECT_TRUE(mHost.TakeMessages().empty());
}

TEST_F(PortalTest, MsnLoadingWaitsForTheHostAndStaysSilentUntilPlayStarts) {
  Start("game.exe -msn");
  Send("loadbroadcast", "0");
  Send("sessionready", "0");
  EXPECT_EQ(mHost.TakeCommands(), (TCommands{"LoadBroadcast(\"<data><percentcomplete>100</percentcomplete></data>\")",
                                             "SessionReady(\"<data></data>\")"}));
  EXPECT_TRUE(QueryWaitForQuit());
  EXPECT_FALSE(mPlatform.cursorVisible);
  EXPECT_EQ(mPlatform.arrows, 1);
  EXPECT_TRUE(GetGameState()->QueryMuteGame());
  EXPECT_EQ(Volume(), 0.0f);

  FakeNow += 1500;
  HostCode(5);
  EXPECT_FALSE(QueryWaitForQuit());
  EXPECT_TRUE(mPlatform.cursorVisible);
  EXPECT_EQ(GetPortalStateWord(), 1500u);
  // No game is in play yet: MSN keeps the game silent until the host starts it.
  EXPECT_EQ(Volume(), 0.0f);
  HostCode(7);
  EXPECT_FLOAT_EQ(Volume(), 0.8f);
  EXPECT_FALSE(GetGameState()->QueryMuteGame());

  // The game's own mute is the handler's: muting and unmuting give the volume back.
  EXPECT_TRUE(Send("mute", "1"));
  EXPECT_EQ(Volume(), 0.0f);
  Send("pause", "1");
  Send("mute", "0");
  EXPECT_EQ(Volume(), 0.0f) << "still paused";
  Send("pause", "0");
  EXPECT_FLOAT_EQ(Volume(), 0.8f);
}

TEST_F(PortalTest, ScoresAreBroadcastOnlyInPlayAndAtMostEveryFiveSeconds) {
  Start("game.exe -msn");
  Send("score", "10");
  EXPECT_TRUE(mHost.TakeCommands().empty()) << "no game in play";
  HostCode(7);
  FakeNow += 3000;
  Send("score", "-5");
  FakeNow += 4999;
  Send("score", "20");
  FakeNow += 1;
  Send("score", "2147483647");
  EXPECT_EQ(mHost.TakeCommands(), (TCommands{"ScoreBroadcast(\"<game><score>-5</score><time>3</time></game>\")",
                                             "ScoreBroadcast(\"<game><score>2147483647</score><time>8</time></game>\")"}));
  Send("gameover", "1");
  EXPECT_EQ(mHost.TakeCommands(), (TCommands{"ScoreSubmit(\"<game><score>2147483647</score><time>8</time></game>\")",
                                             "GameEnd(\"<gamedata></gamedata>\")"}));
  EXPECT_TRUE(QueryWaitForQuit());
  Send("score", "1");
  EXPECT_TRUE(mHost.TakeCommands().empty()) << "the game has ended";
}

TEST_F(PortalTest, HostCodesBecomeOneShotRequests) {
  Start("game.exe -msn");
  HostCode(7);
  EXPECT_FALSE(GetGameState()->QueryRestartMode()) << "the first start comes from the menu";
  HostCode(7);
  EXPECT_TRUE(GetGameState()->QueryRestartMode());
  EXPECT_FALSE(GetGameState()->QueryRestartMode());
  HostCode(1);
  EXPECT_TRUE(GetGameState()->QueryJumpToMenu());
  EXPECT_FALSE(GetGameState()->QueryJumpToMenu());
  HostCode(7);
  EXPECT_FALSE(GetGameState()->QueryRestartMode()) << "back at the menu";
  HostCode(8);
  EXPECT_TRUE(GetGameState()->QueryRestartMode());

  HostCode(2);
  EXPECT_EQ(Volume(), 0.0f);
  HostCode(3);
  EXPECT_FLOAT_EQ(Volume(), 0.8f);

  Send("breaknow", "");
  Send("breaknow", "");
  Send("gamemode", "story");
  EXPECT_EQ(mHost.TakeCommands(), (TCommands{"GameBreak(\"<data><breakpoint>1</breakpoint></data>\")",
                                             "GameBreak(\"<data><breakpoint>2</breakpoint></data>\")",
                                             "GameReady(\"<data><mode>story</mode></data>\")"}));
  EXPECT_EQ(State("systemmode"), "msn");
}

TEST_F(PortalTest, ZylomNeverWaitsAndOffersRestartAfterTheInterval) {
  Start("game.exe -zylom -com_interval=30");
  EXPECT_EQ(State("systemmode"), "zylom");
  HostCode(7);
  Send("level", "3");
  Send("sublevel", "2");
  Send("pause", "1");
  Send("pause", "0");
  FakeNow += 30000;
  EXPECT_EQ(State("restartbutton"), "0");
  FakeNow += 1000;
  EXPECT_EQ(State("restartbutton"), "1");
  Send("restartbutton", "");
  Send("score", "70");
  Send("gameover", "1");
  EXPECT_EQ(mHost.TakeCommands(),
            (TCommands{"GamePause(\"<data>true</data>\")", "GamePause(\"<data>false</data>\")",
                       "ScoreBroadcast(\"<game><score>70</score><time>31</time></game>\")",
                       "ScoreSubmit(\"<game><score>70</score><time>31</time><level>3</level><sublevel>2</sublevel></game>\")",
                       "GameEnd(\"<gamedata></gamedata>\")"}));
  // After the submission: "Restart" and its NUL fill exactly one message.
  Send("restartbutton", "");
  EXPECT_EQ(mHost.TakeMessages(), (std::vector<std::pair<uint32_t, uint32_t>>{{0x74736552u, 0x00747261u}}));
  EXPECT_FALSE(QueryWaitForQuit());
  EXPECT_EQ(GetPortalStateWord(), 0u);
}

TEST_F(PortalTest, RestartIntervalFromTheCommandLine) {
  struct TCase {
    const char* line;
    const char* atOneSecond;
  } cases[] = {
      {"game.exe -zylom", "0"},                     // without the switch: never
      {"game.exe -zylom -com_interval 5", "0"},     // 5 s not yet passed
      {"game.exe -zylom -com_interval=0", "1"},
      {"game.exe -zylom -com_interval", "1"},       // no number: 0
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.line);
    Start(c.line);
    HostCode(7);
    FakeNow += 1000;
    EXPECT_EQ(State("restartbutton"), c.atOneSecond);
    DeleteGameState();
    ResetPortalModes();
    SetPortalHostChannel(&mChannel);
  }
}

// The switch at the very end of the command line: nothing after the line's end is read.
TEST_F(PortalTest, RestartIntervalSwitchAtTheEndReadsNothingPastTheLine) {
  StartZylomPortal();
  const char text[] = "-com_interval";
  auto exact = std::make_unique<char[]>(sizeof(text));
  memcpy(exact.get(), text, sizeof(text));
  TMsnZylomHandler handler;
  EXPECT_FALSE(handler.HandleEvent("cmdline", exact.get()));
  HostCode(7);
  EXPECT_EQ(State("restartbutton"), "0");
  FakeNow += 1000;
  EXPECT_EQ(State("restartbutton"), "1");
}

TEST_F(PortalTest, GameReadyKeepsItsCommandWithinTheHostsBuffer) {
  Start("game.exe -msn");
  std::string mode(300, 'x');
  mode += "\xC3\xA4";  // a character that must not be cut in half
  Send("gamemode", mode.c_str());
  TCommands commands = mHost.TakeCommands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_LE(commands[0].size(), 255u);
  EXPECT_EQ(commands[0].rfind("GameReady(\"<data><mode>xxx", 0), 0u);
  EXPECT_EQ(commands[0].substr(commands[0].size() - 16), "</mode></data>\")");
}

TEST_F(PortalTest, AolAnswersItsSystemModeAndOtherwiseStaysOutOfTheWay) {
  Start("game.exe -aol");
  EXPECT_EQ(State("systemmode"), "aol");
  EXPECT_TRUE(Send("mute", "1")) << "taken, so the game state does not mute";
  EXPECT_FLOAT_EQ(Volume(), 0.8f);
  EXPECT_TRUE(GetGameState()->QueryMuteGame()) << "falls back to the stored value";
  Send("loadbroadcast", "0");
  Send("sessionready", "0");
  Send("gameover", "1");
  HostCode(4);
  EXPECT_FALSE(QueryWaitForQuit());
  EXPECT_TRUE(mHost.TakeCommands().empty());
}

TEST_F(PortalTest, AHostThatGoesAwayReleasesTheWait) {
  Start("game.exe -msn");
  Send("loadbroadcast", "0");
  EXPECT_TRUE(QueryWaitForQuit());
  mHost.Hangup();
  EXPECT_FALSE(QueryWaitForQuit());
  EXPECT_TRUE(mPlatform.cursorVisible);
  // Later commands go nowhere and hold nothing.
  Send("gamemode", "story");
  EXPECT_FALSE(QueryWaitForQuit());
}

TEST_F(PortalTest, ExternalPlayerModePostsNothingAndReleasesTheMouseForTheHost) {
  mPlatform.externalPlayer = true;
  Start("game.exe -msn -pq=1");
  Send("gamemode", "story");
  EXPECT_TRUE(mHost.TakeMessages().empty());
  EXPECT_FALSE(QueryWaitForQuit());
  // Posting nothing still counts as a game in play: the sound is on.
  EXPECT_FLOAT_EQ(Volume(), 0.8f);
  HostCode(4);
  EXPECT_EQ(mPlatform.captureReleases, 1);
  EXPECT_TRUE(QueryWaitForQuit());
}

TEST_F(PortalTest, WithoutAHostChannelTheSwitchesAreInert) {
  SetPortalHostChannel(nullptr);
  Start("game.exe -msn -zylom -aol");
  EXPECT_EQ(TGameState::GetHandlerCount(), 0u);
  EXPECT_FALSE(IsMsnPortal());
  EXPECT_FALSE(IsZylomPortal());
  Send("mute", "1");
  EXPECT_EQ(Volume(), 0.0f) << "the game state mutes by itself";
}
