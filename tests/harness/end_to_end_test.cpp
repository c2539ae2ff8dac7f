// The real executable, started headless with the test hook beside it: start-up, a
// scripted session, the single instance, the window's close button, a long program path.
// The game runs in UTF-8 mode (a wide window: typed text arrives as code points); the 8-bit
// characters of a game without it are seen through the window test's game, whose defaults
// leave the mode off.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

fs::path BinFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

struct TProcess {
  pid_t pid = -1;
  fs::path output;
};

// Starts the program with the environment changed (an empty value removes a variable).
TProcess Start(const fs::path& program, const std::map<std::string, std::string>& changes, const fs::path& output,
               const std::vector<std::string>& args = {}) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    if (!changes.count(entry.substr(0, entry.find('=')))) env.push_back(entry);
  }
  for (const auto& [name, value] : changes) {
    if (!value.empty()) env.push_back(name + "=" + value);
  }
  std::vector<char*> envp, argv;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string name = program.string();
  argv.push_back(name.data());
  std::vector<std::string> argsCopy = args;
  for (auto& a : argsCopy) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  TProcess process;
  process.output = output;
  if (posix_spawn(&process.pid, name.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) process.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return process;
}

// The exit code, or -1000 when the program had to be killed after timeoutMs.
int Wait(const TProcess& process, int timeoutMs = 60000) {
  if (process.pid < 0) return -2000;
  for (int waited = 0;; waited += 10) {
    int status = 0;
    pid_t done = waitpid(process.pid, &status, WNOHANG);
    if (done == process.pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1000 - WTERMSIG(status);
    if (waited > timeoutMs) {
      kill(process.pid, SIGKILL);
      waitpid(process.pid, &status, 0);
      return -1000;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool WaitForText(const fs::path& file, const std::string& text, int timeoutMs = 60000) {
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    if (ReadFile(file).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// The character events (types 13 and 14) of a transcript, in order.
std::string TypedCharacters(const std::string& transcript) {
  std::string typed;
  std::istringstream lines(transcript);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("event 13 ", 0) == 0 || line.rfind("event 14 ", 0) == 0) typed += line + "\n";
  }
  return typed;
}

// The transcript lines of character events of one type.
std::string CharacterEvents(int type, const std::vector<int>& characters) {
  std::string lines;
  for (int character : characters)
    lines += "event " + std::to_string(type) + " " + std::to_string(character) + " 0 0 0\n";
  return lines;
}

class TEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tarvelon-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    mRoot = pattern;
    fs::create_directories(mRoot / "home");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(mRoot, ignored);
  }
  // The environment of a headless run with the given script; each run its own transcript.
  std::map<std::string, std::string> Headless(const std::string& script, const std::string& name) {
    WriteFile(mRoot / (name + ".script"), script);
    return {{"SDL_VIDEODRIVER", "dummy"},
            {"SDL_AUDIODRIVER", "dummy"},
            {"XDG_DATA_HOME", (mRoot / "xdg").string()},
            {"HOME", (mRoot / "home").string()},
            {"TARVELON_HARNESS_SCRIPT", (mRoot / (name + ".script")).string()},
            {"TARVELON_HARNESS_TRANSCRIPT", (mRoot / (name + ".transcript")).string()}};
  }
  fs::path Transcript(const std::string& name) { return mRoot / (name + ".transcript"); }
  fs::path UserFolder() { return mRoot / "xdg/Tarvelon/Tarvelon"; }

  fs::path mRoot;
};

}  // namespace

TEST_F(TEndToEndTest, ScriptedSessionReachesTheGameAndQuits) {
  WriteFile(UserFolder() / "logfile.txt", "the previous run\n");
  std::string script =
      "wait 50\n"
      "move 10 20\n"
      "click 10 20\n"
      "key Alt+F1\n"
      "key Shift+Insert\n"
      "type Grüße \xF0\x9F\x98\x80\n"
      "capture " + (mRoot / "frame.png").string() + "\n"
      "quit\n";
  TProcess run = Start(BinFolder() / "tarvelon", Headless(script, "run"), mRoot / "run.out");
  EXPECT_EQ(Wait(run), 0) << ReadFile(mRoot / "run.out");
  std::string transcript = ReadFile(Transcript("run"));
  for (const char* line : {"attach\n", "event 8 0 10 20 0\n", "event 5 0 10 20 0\n", "event 7 0 10 20 0\n",
                           "event 11 -124 0 0 1\n", "event 4 0 0 0 0\n", "detach\n"}) {
    EXPECT_NE(transcript.find(line), std::string::npos) << line << " missing in\n" << transcript;
  }
  // UTF-8 mode: typed text comes as Unicode characters, the one beyond 16 bits joined from
  // its two halves.
  EXPECT_EQ(TypedCharacters(transcript), CharacterEvents(14, {71, 114, 252, 223, 101, 32, 0x1F600})) << transcript;
  // The capture is answered either way: a written frame, or a refusal while no frame was
  // presented.
  if (transcript.find("capture ok") != std::string::npos)
    EXPECT_TRUE(fs::exists(mRoot / "frame.png"));
  else
    EXPECT_NE(transcript.find("capture failed"), std::string::npos) << transcript;
  std::string log = ReadFile(UserFolder() / "logfile.txt");
  EXPECT_NE(log.find("Tarvelon, version 1.0.0.0."), std::string::npos) << log;
  EXPECT_EQ(log.find("the previous run"), std::string::npos);
  EXPECT_TRUE(fs::is_directory(UserFolder() / "common"));
}

// A game that leaves "utf8mode" off gets each typed character as one byte of the 8-bit code
// page; what the code page lacks becomes "?".
TEST_F(TEndToEndTest, WithoutUtf8ModeTypedTextArrivesAsEightBitCharacters) {
  fs::path folder = mRoot / "game";
  fs::create_directories(folder);
  for (const char* file : {"windows_e2e_game", "jxHarness.so"}) fs::copy_file(BinFolder() / file, folder / file);
  fs::create_directory_symlink(fs::path(TARVELON_FIXTURES) / "windows/e2e", folder / "assets");
  TProcess run = Start(folder / "windows_e2e_game", Headless("wait 50\ntype Grüße € \xF0\x9F\x98\x80\nquit\n", "run"),
                       mRoot / "run.out");
  EXPECT_EQ(Wait(run), 0) << ReadFile(mRoot / "run.out");
  std::string transcript = ReadFile(Transcript("run"));
  EXPECT_EQ(TypedCharacters(transcript), CharacterEvents(13, {71, 114, 252, 223, 101, 32, 0x80, 32, '?'}))
      << transcript;
}

TEST_F(TEndToEndTest, SecondStartExitsAtOnceWithoutWindow) {
  std::string flag = (mRoot / "let-go").string();
  TProcess first = Start(BinFolder() / "tarvelon", Headless("waitfor " + flag + " 60000\nquit\n", "first"),
                         mRoot / "first.out");
  ASSERT_TRUE(WaitForText(Transcript("first"), "attach")) << ReadFile(mRoot / "first.out");

  TProcess second = Start(BinFolder() / "tarvelon", Headless("quit\n", "second"), mRoot / "second.out");
  EXPECT_EQ(Wait(second, 30000), 0);
  std::string transcript = ReadFile(Transcript("second"));
  EXPECT_NE(transcript.find("hook"), std::string::npos) << transcript;
  EXPECT_EQ(transcript.find("attach"), std::string::npos) << "no window, no game: " << transcript;
  EXPECT_NE(ReadFile(mRoot / "second.out").find("running already"), std::string::npos);

  // "--multiple" starts all the same.
  TProcess third = Start(BinFolder() / "tarvelon", Headless("quit\n", "third"), mRoot / "third.out", {"--multiple"});
  EXPECT_EQ(Wait(third), 0);
  EXPECT_NE(ReadFile(Transcript("third")).find("attach"), std::string::npos);

  WriteFile(flag, "");
  EXPECT_EQ(Wait(first), 0) << ReadFile(mRoot / "first.out");
}

// The close button asks first ("Wirklich beenden?"); Enter says yes and ends the game.
TEST_F(TEndToEndTest, ClosingTheWindowAsksFirst) {
  std::string session = "wait 20\nwindow close\nsettle " + (mRoot / "asked.png").string() + " 60000\nkey Return\n";
  TProcess run = Start(BinFolder() / "tarvelon", Headless(session, "run"), mRoot / "run.out");
  EXPECT_EQ(Wait(run), 0) << ReadFile(mRoot / "run.out");
  std::string transcript = ReadFile(Transcript("run"));
  EXPECT_NE(transcript.find("event 3 0 0 0 0"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("capture ok"), std::string::npos) << transcript;
}

TEST_F(TEndToEndTest, WithoutADisplayItSaysSoAndExits) {
  auto env = Headless("quit\n", "run");
  env["SDL_VIDEODRIVER"] = "";
  env["DISPLAY"] = "";
  env["WAYLAND_DISPLAY"] = "";
  TProcess run = Start(BinFolder() / "tarvelon", env, mRoot / "run.out");
  EXPECT_EQ(Wait(run), 1);
  EXPECT_NE(ReadFile(mRoot / "run.out").find("There is no display"), std::string::npos) << ReadFile(mRoot / "run.out");
}

// The program's path is read whole however long it is, and everything made from it
// (folders, the lock name) follows.
TEST_F(TEndToEndTest, StartsFromAProgramPathLongerThan260Bytes) {
  fs::path folder = mRoot;
  while (folder.string().size() < 320) folder /= "a-rather-long-folder-name-for-the-game";
  fs::create_directories(folder);
  fs::copy_file(BinFolder() / "tarvelon", folder / "tarvelon");
  fs::copy_file(BinFolder() / "jxHarness.so", folder / "jxHarness.so");
  fs::create_directory_symlink(fs::canonical(BinFolder() / "assets"), folder / "assets");
  TProcess run = Start(folder / "tarvelon", Headless("quit\n", "run"), mRoot / "run.out");
  EXPECT_EQ(Wait(run), 0) << ReadFile(mRoot / "run.out");
  EXPECT_NE(ReadFile(Transcript("run")).find("detach"), std::string::npos);
  EXPECT_NE(ReadFile(UserFolder() / "logfile.txt").find("Tarvelon, version"), std::string::npos);
}
