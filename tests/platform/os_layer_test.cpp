// The OS layer's pieces that stand alone: key table, code page, program path, instance
// lock, address check, libraries.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/os/ansi_text.h"
#include "platform/os/instance_lock.h"
#include "platform/os/program_path.h"
#include "platform/os/shared_library.h"
#include "platform/os/url_opener.h"
#include "platform/os/virtual_keys.h"
#include "test_util.h"

TEST(VirtualKeys, LettersFollowTheLayoutOtherKeysTheirPlace) {
  // SDL scancodes and keycodes: A = 4, 'a'; Y = 28; KP_1 = 89; UP = 82; RCTRL = 228.
  EXPECT_EQ(VirtualKeyFromSdl(4, 'a', true).virtualKey, uint32_t('A'));
  // A German keyboard: the key where an English Y is types 'z'.
  EXPECT_EQ(VirtualKeyFromSdl(28, 'z', true).virtualKey, uint32_t('Z'));
  EXPECT_EQ(VirtualKeyFromSdl(89, 0x40000059, true).virtualKey, uint32_t(VkNumpad0 + 1));
  EXPECT_EQ(VirtualKeyFromSdl(89, 0x40000059, false).virtualKey, uint32_t(VkEnd));
  TVirtualKeyCode up = VirtualKeyFromSdl(82, 0x40000052, true);
  EXPECT_EQ(up.virtualKey, uint32_t(VkUp));
  EXPECT_TRUE(up.extended);
  TVirtualKeyCode rightControl = VirtualKeyFromSdl(228, 0x400000E4, true);
  EXPECT_EQ(rightControl.virtualKey, uint32_t(VkControl));
  EXPECT_TRUE(rightControl.extended);
  EXPECT_EQ(VirtualKeyFromSdl(0, 0, true).virtualKey, 0u);
}

TEST(AnsiText, CodePageBothWaysAndRepairOfEightBitText) {
  EXPECT_EQ(CodePointToAnsi('a'), 'a');
  EXPECT_EQ(CodePointToAnsi(0xFC), 0xFC);
  EXPECT_EQ(CodePointToAnsi(0x20AC), 0x80);
  EXPECT_EQ(CodePointToAnsi(0x1F600), '?');
  EXPECT_EQ(AnsiToCodePoint(0x80), 0x20ACu);
  EXPECT_EQ(AnsiToCodePoint(0x81), 0x81u);
  EXPECT_EQ(MakeValidUtf8("Grüße"), "Grüße");
  EXPECT_EQ(MakeValidUtf8("Gr\xFC\xDF" "e"), "Grüße");
  // Broken sequences are read byte by byte; overlong forms and surrogates are not UTF-8.
  EXPECT_EQ(MakeValidUtf8("\xC3"), "Ã");
  EXPECT_EQ(MakeValidUtf8("\xC0\xAF"), "À¯");
  EXPECT_EQ(MakeValidUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");  // í, no-break space, €
  EXPECT_EQ(MakeValidUtf8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

// The program path and every folder name made from it have no length limit.
TEST(ProgramPath, LongPathsAreReadWhole) {
  TTempFolder root;
  std::string target = "/";
  while (target.size() < 600) target += "a-folder-with-a-rather-long-name/";
  target += "tarvelon";
  std::string link = (root / "link").ToStd();
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  EXPECT_EQ(ReadSymbolicLink(link), target);
  EXPECT_EQ(FolderOfPath(target), target.substr(0, target.size() - 8));
  EXPECT_EQ(FolderOfPath("tarvelon"), "./");
  EXPECT_EQ(ReadSymbolicLink((root / "missing").ToStd()), "");
  std::string self = GetProgramFile();
  EXPECT_TRUE(std::filesystem::exists(self)) << self;
}

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo) {
  TTempFolder root;
  std::string path = (root / "game_MUTEX").ToStd();
  TInstanceLock first, second;
  EXPECT_EQ(first.Acquire(path), TInstanceLock::TResult::Acquired);
  EXPECT_EQ(second.Acquire(path), TInstanceLock::TResult::HeldElsewhere);
  EXPECT_FALSE(second.IsHeld());
  first.Release();
  EXPECT_EQ(second.Acquire(path), TInstanceLock::TResult::Acquired);
  EXPECT_EQ(first.Acquire((root / "no/such/folder/x").ToStd()), TInstanceLock::TResult::Failed);
}

TEST(UrlOpener, OnlyWebAndMailAddresses) {
  const struct {
    const char* url;
    bool openable;
  } cases[] = {
      {"http://example.org", true},     {"https://example.org/a?b=1&c=2", true}, {"HTTPS://EXAMPLE.ORG", true},
      {"mailto:a@example.org", true},   {"http://", false},                      {"mailto:", false},
      {"file:///etc/passwd", false},    {"javascript:alert(1)", false},          {"ftp://example.org", false},
      {" http://example.org", false},   {"http://example.org\n--x", false},      {"-http://x", false},
      {"", false},                      {"/usr/bin/xterm", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsOpenableUrl(c.url), c.openable) << c.url;
  EXPECT_FALSE(OpenUrl("file:///etc/passwd"));
  EXPECT_FALSE(LaunchProgram("no-such-program-anywhere", "x"));
}

TEST(SharedLibrary, MissingLibraryAndSymbols) {
  TSharedLibrary library;
  EXPECT_FALSE(library.Open("/no/such/jxHarness.so"));
  EXPECT_FALSE(library.Error().empty());
  EXPECT_EQ(library.Symbol("TestHook"), nullptr);
  ASSERT_TRUE(library.Open("libc.so.6"));
  EXPECT_NE(library.Symbol("strlen"), nullptr);
  EXPECT_EQ(library.Symbol("NoSuchSymbolAtAll"), nullptr);
}
