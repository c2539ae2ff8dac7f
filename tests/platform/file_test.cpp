#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "platform/directory_iterator.h"
#include "platform/file.h"
#include "platform/file_map.h"
#include "platform/package.h"
#include "platform/settings.h"
#include "folder_fixture.h"

namespace {

std::string ReadAll(const TString& name, int mode) {
  std::string out;
  TFilePtr file = FileOpen(name, mode);
  if (!file) return "<closed>";
  char buffer[7];  // small reads cross the buffer edges
  for (size_t n; (n = file->Read(buffer, sizeof buffer)) > 0;) out.append(buffer, n);
  return out;
}

}  // namespace

using FileLayerTest = TFolderTest;

TEST_F(FileLayerTest, DiskPathsKeepTheirCase) {
  // Disk paths were lower-cased with the keys, so mixed-case files never opened on Linux.
  WriteTextFile(mRoot / "assets/Scripts/Pause.LUA", "pause");
  WriteTextFile(mRoot / "assets/scripts2/lower.lua", "lower");
  InitAssetFolders();
  EXPECT_EQ(ReadAll("scripts/pause.lua", FileReadRaw), "pause");
  EXPECT_EQ(ReadAll("SCRIPTS/PAUSE.lua", FileReadRaw), "pause");
  EXPECT_EQ(ReadAll("Scripts2/Lower.LUA", FileReadRaw), "lower");
  EXPECT_EQ(ReadAll("assets/scripts/pause.lua", FileReadRaw), "pause");
  EXPECT_STREQ(ResolvePath("scripts/pause.lua", true).c_str(), "assets/Scripts/Pause.LUA");
  EXPECT_FALSE(FileExists("scripts/absent.lua"));
  EXPECT_FALSE(FileExists("unknown.txt"));  // an asset name outside the map never resolves
}

TEST_F(FileLayerTest, ExclusionListAndClearWord) {
  WriteTextFile(mRoot / "final.txt", "debug/cheats.lua\r\nold.png  -*\tHidden.TXT\n");
  WriteTextFile(mRoot / "assets/hidden.txt", "x");
  WriteTextFile(mRoot / "assets/old.png", "x");
  WriteTextFile(mRoot / "assets/debug/cheats.lua", "x");
  InitAssetFolders();
  EXPECT_FALSE(FileExists("hidden.txt"));  // neither entered nor found
  EXPECT_FALSE(GetFileMapEntry("hidden.txt").IsValid());
  EXPECT_TRUE(FileExists("old.png"));      // "-*" dropped the words before it
  EXPECT_TRUE(FileExists("debug/cheats.lua"));
  EXPECT_FALSE(IsFileAllowed("HIDDEN.txt"));
  LoadFileExclusions("hidden.txt", false);
  EXPECT_TRUE(IsFileAllowed("hidden.txt"));

  ResetPlatformState();
  SetConfig("firstpeek", "1");
  WriteTextFile(mRoot / "firstpeek.txt", "old.png");
  InitAssetFolders();
  EXPECT_FALSE(FileExists("old.png"));
  EXPECT_TRUE(FileExists("hidden.txt"));
}

TEST_F(FileLayerTest, UserFolderScanAndPrefixes) {
  WriteTextFile(mRoot / "user/saves/Slot1.dat", "save");
  WriteTextFile(mRoot / "common/display.xml", "<display/>");
  InitAssetFolders();
  EXPECT_TRUE(GetFileMapEntry("user:saves/slot1.dat").IsValid());
  EXPECT_EQ(ReadAll("user:saves/Slot1.dat", FileReadRaw), "save");
  EXPECT_EQ(ReadAll("common:display.xml", FileReadRaw), "<display/>");
  EXPECT_FALSE(FileExists("desktop:nothing.txt"));

  ResetPlatformState();
  SetDataFolders(mRoot / "user", mRoot / "common", "");
  SetConfig("activex", "1");  // embedded: the data folders are not scanned
  InitAssetFolders();
  EXPECT_FALSE(GetFileMapEntry("user:saves/slot1.dat").IsValid());
  EXPECT_EQ(ReadAll("user:saves/Slot1.dat", FileReadRaw), "save");  // still resolves by prefix
  EXPECT_FALSE(FileExists("desktop:x"));  // an unset folder resolves nothing
}

TEST_F(FileLayerTest, WritesCreateFoldersButStayInside) {
  EXPECT_FALSE(FileExists("user:sub/deeper/new.txt"));
  EXPECT_EQ(FileOpen("user:sub/deeper/new.txt", FileReadRaw), nullptr);
  {
    TFilePtr file = FileOpen("user:sub/deeper/new.txt", FileWriteText);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Write("a\nb", 3), 3u);
  }
  EXPECT_EQ(ReadTextFile(mRoot / "user/sub/deeper/new.txt"), "a\nb");  // LF only
  EXPECT_TRUE(FileExists("user:sub/deeper/new.txt"));
  {
    TFilePtr file = FileOpen("user:sub/deeper/new.txt", FileAppendRaw);
    ASSERT_NE(file, nullptr);
    file->Write("c", 1);
  }
  EXPECT_EQ(ReadAll("user:sub/deeper/new.txt", FileReadRaw), "a\nbc");

  for (const char* name : {"user:../escape.txt", "user:sub/../../escape.txt", "common:..", "user:.."}) {
    EXPECT_FALSE(ResolveLocation(name, false).IsValid()) << name;
    EXPECT_EQ(FileOpen(name, FileWriteRaw), nullptr) << name;
  }
  EXPECT_FALSE(IsFolder(mRoot / "escape.txt"));
  EXPECT_EQ(FileOpen("brand-new-asset.txt", FileWriteRaw), nullptr);  // plain names need the map
}

TEST_F(FileLayerTest, WriteResolutionDoesNotMakeAFileExist) {
  // Resolving for a write entered the name in the map, and from then on it "existed".
  EXPECT_FALSE(ResolvePath("user:later.txt", false).IsEmpty());
  EXPECT_FALSE(FileExists("user:later.txt"));
  EXPECT_EQ(FileOpen("user:later.txt", FileReadRaw), nullptr);
  { TFilePtr file = FileOpen("user:gone.txt", FileWriteRaw); }
  EXPECT_TRUE(FileExists("user:gone.txt"));
  unlink((mRoot / "user/gone.txt").c_str());
  EXPECT_FALSE(FileExists("user:gone.txt"));
}

TEST_F(FileLayerTest, PathsStartingWithAmpersandOrAtAreNeverMemory) {
  // A location text "&<address>,<size>" once came from such a path and was read as memory.
  WriteTextFile(mRoot / "&4096,16", "ampersand");
  WriteTextFile(mRoot / "@0:0,4", "at sign");
  EXPECT_EQ(ReadAll("::&4096,16", FileReadRaw), "ampersand");
  EXPECT_EQ(ReadAll("::@0:0,4", FileReadRaw), "at sign");
  EXPECT_EQ(FileOpen("::&1,1", FileReadRaw), nullptr);

  static const char block[] = "line1\r\nline2\r\n";
  RegisterMemoryFile("Mem/Block.txt", block, sizeof block - 1);
  EXPECT_EQ(ReadAll("mem/block.txt", FileReadRaw), "line1\r\nline2\r\n");
  EXPECT_EQ(ReadAll("mem/block.txt", FileReadText), "line1\nline2\n");
  EXPECT_EQ(FileOpen("mem/block.txt", FileWriteRaw), nullptr);  // read-only
  RegisterMemoryFile("mem/block.txt", nullptr, 0);
  EXPECT_FALSE(FileExists("mem/block.txt"));
}

TEST_F(FileLayerTest, TextModeDropsCarriageReturnsFromEveryKind) {
  const std::string bytes = "a\r\nb\r\r\nc\r";
  WriteTextFile(mRoot / "assets/disk.txt", bytes);
  WritePackage(mRoot / "assets/data.jxp", {{"packed.txt", bytes}});
  InitAssetFolders();
  RegisterMemoryFile("memory.txt", bytes.data(), bytes.size());
  for (const char* name : {"disk.txt", "packed.txt", "memory.txt"}) {
    EXPECT_EQ(ReadAll(name, FileReadText), "a\nb\nc") << name;
    EXPECT_EQ(ReadAll(name, FileReadRaw), bytes) << name;
  }
}

TEST_F(FileLayerTest, GetcGetsAndSeekOnEveryKind) {
  const std::string bytes = std::string("one\ntwo\n\xff") + "last";
  WriteTextFile(mRoot / "assets/disk.bin", bytes);
  WritePackage(mRoot / "assets/data.jxp", {{"packed.bin", bytes}});
  InitAssetFolders();
  RegisterMemoryFile("memory.bin", bytes.data(), bytes.size());
  for (const char* name : {"disk.bin", "packed.bin", "memory.bin"}) {
    TFilePtr file = FileOpen(name, FileReadRaw);
    ASSERT_NE(file, nullptr) << name;
    EXPECT_EQ(file->GetSize(), int64_t(bytes.size()));
    char line[64];
    ASSERT_NE(FileGets(file.get(), line, sizeof line), nullptr);
    EXPECT_STREQ(line, "one\n");
    ASSERT_NE(FileGets(file.get(), line, sizeof line), nullptr);
    EXPECT_STREQ(line, "two\n");
    EXPECT_EQ(FileGetc(file.get()), 255) << name;  // byte 0xFF is no end of file
    // The last line has no line feed: it was lost before.
    ASSERT_NE(FileGets(file.get(), line, sizeof line), nullptr) << name;
    EXPECT_STREQ(line, "last");
    EXPECT_EQ(FileGets(file.get(), line, sizeof line), nullptr);
    EXPECT_EQ(FileGetc(file.get()), -1);

    FileSeek(file.get(), 1, SeekStart);
    EXPECT_EQ(FileGetc(file.get()), 'n');
    FileUngetc(file.get());
    EXPECT_EQ(FileTell(file.get()), 1) << name;
    FileSeek(file.get(), -100, SeekCurrent);  // before the start: it landed at the end before
    EXPECT_EQ(FileTell(file.get()), 0) << name;
    EXPECT_EQ(FileGetc(file.get()), 'o');
    FileSeek(file.get(), -4, SeekEnd);
    EXPECT_EQ(FileGetc(file.get()), 'l');
  }
}

TEST_F(FileLayerTest, MemoryFileSeekPastTheEnd) {
  static const char block[] = "0123456789";
  RegisterMemoryFile("m.bin", block, 10);
  TFilePtr file = FileOpen("m.bin", FileReadRaw);
  ASSERT_NE(file, nullptr);
  file->Seek(5, SeekEnd);
  EXPECT_EQ(file->Tell(), file->GetSize());
  EXPECT_TRUE(file->IsEOF());
  file->Seek(INT64_MAX, SeekCurrent);
  EXPECT_EQ(file->Tell(), 10);
  char buffer[4];
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(file->Write("x", 1), 0u);
  TFile closed;
  EXPECT_TRUE(closed.IsEOF());
  EXPECT_EQ(closed.Tell(), -1);
  EXPECT_EQ(closed.Read(buffer, 4), 0u);
  EXPECT_TRUE(FileError(&closed));
  EXPECT_EQ(FileGetc(&closed), -1);
}

TEST_F(FileLayerTest, DirectoryListing) {
  WriteTextFile(mRoot / "list/b.txt", "");
  WriteTextFile(mRoot / "list/a.txt", "");
  MakeFolder(mRoot / "list/sub");
  std::set<std::string> files, all;
  TString name;
  bool isFolder = false;
  TDirectoryIterator onlyFiles((mRoot / "list").c_str());
  while (onlyFiles.Next(name, nullptr)) files.insert(name.c_str());
  TDirectoryIterator everything((mRoot / "list/").c_str());
  while (everything.Next(name, &isFolder)) all.insert(std::string(name.c_str()) + (isFolder ? "/" : ""));
  EXPECT_EQ(files, (std::set<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(all, (std::set<std::string>{"a.txt", "b.txt", "sub/"}));
  TDirectoryIterator none(nullptr);
  EXPECT_FALSE(none.Next(name, nullptr));
  EXPECT_FALSE(name.IsEmpty());  // untouched
  EXPECT_STREQ(GetFullPath("x/y").c_str(), (GetCurrentDir() + "/x/y").c_str());
}

TEST_F(FileLayerTest, DataFoldersFollowTheEnvironment) {
  TString oldData = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
  TString oldDesktop = getenv("XDG_DESKTOP_DIR") ? getenv("XDG_DESKTOP_DIR") : "";
  setenv("XDG_DATA_HOME", (mRoot / "xdg").c_str(), 1);
  setenv("XDG_DESKTOP_DIR", (mRoot / "desk").c_str(), 1);
  SetConfig("publisher", "Studio");
  EXPECT_STREQ(GetDataFolder(false, "Tarvelon").c_str(), (mRoot / "xdg/Studio/Tarvelon").c_str());
  EXPECT_STREQ(GetDataFolder(true, "Tarvelon").c_str(), (mRoot / "xdg/Studio/Tarvelon/common").c_str());
  EXPECT_TRUE(IsFolder(mRoot / "xdg/Studio/Tarvelon/common"));
  ClearConfig();
  EXPECT_STREQ(GetDataFolder(false, "Game").c_str(), (mRoot / "xdg/Wendrock/Game").c_str());
  EXPECT_TRUE(GetDataFolder(false, "").IsEmpty());
  EXPECT_STREQ(GetDesktopPath().c_str(), (mRoot / "desk/").c_str());
  if (oldData.IsEmpty()) unsetenv("XDG_DATA_HOME"); else setenv("XDG_DATA_HOME", oldData.c_str(), 1);
  if (oldDesktop.IsEmpty()) unsetenv("XDG_DESKTOP_DIR"); else setenv("XDG_DESKTOP_DIR", oldDesktop.c_str(), 1);
}
