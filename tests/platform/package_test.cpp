#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <string>

#include "platform/directory_iterator.h"
#include "platform/file.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/package.h"
#include "folder_fixture.h"

namespace {

std::string ReadAll(const TString& name, int mode = FileReadRaw) {
  std::string out;
  return ReadWholeFile(name, out, mode) ? out : "<closed>";
}

}  // namespace

class PackageTest : public TFolderTest {
 protected:
  void SetUp() override {
    TFolderTest::SetUp();
    OpenLogFile(mRoot.Path().c_str());
  }
  std::string Log() { return ReadTextFile(GetLogPath()); }
};

TEST_F(PackageTest, PrecedenceOfPackagesAndLooseFiles) {
  WritePackage(mRoot / "assets/a.jxp", {{"Shared.txt", "from a"}, {"only_a.txt", "a"}, {"loose.txt", "packed"}});
  WritePackage(mRoot / "assets/b.jxp", {{"shared.TXT", "from b"}});
  WriteTextFile(mRoot / "assets/loose.txt", "loose");
  InitAssetFolders();
  EXPECT_EQ(ReadAll("shared.txt"), "from b");  // the later package wins
  EXPECT_EQ(ReadAll("ONLY_A.txt"), "a");
  EXPECT_EQ(ReadAll("loose.txt"), "loose");    // a loose file beats both
  ASSERT_EQ(GetPackageTable().size(), 2u);
  EXPECT_STREQ(GetPackageTable()[1].path.c_str(), "assets/b.jxp");
}

TEST_F(PackageTest, PackagesInSubFoldersMountFromTheirOwnFolder) {
  // Every package was opened as "::assets/" + its name, so one in a sub-folder never mounted.
  WritePackage(mRoot / "assets/levels/chapter1.jxp", {{"levels/one.lua", "return 1"}});
  InitAssetFolders();
  EXPECT_EQ(ReadAll("levels/one.lua"), "return 1");
  ASSERT_EQ(GetPackageTable().size(), 1u);
  EXPECT_STREQ(GetPackageTable()[0].path.c_str(), "assets/levels/chapter1.jxp");
}

TEST_F(PackageTest, StreamEndFlagAndTextMode) {
  WritePackage(mRoot / "assets/p.jxp", {{"four.bin", "abcd"}, {"crlf.txt", "x\r\ny\r\n"}});
  InitAssetFolders();
  TFilePtr file = FileOpen("four.bin", FileReadRaw);
  ASSERT_NE(file, nullptr);
  char buffer[16];
  EXPECT_EQ(file->Read(buffer, 4), 4u);
  EXPECT_FALSE(file->IsEOF());  // reading exactly to the end does not set it
  file->Seek(0, SeekStart);
  EXPECT_EQ(file->Read(buffer, 10), 4u);
  EXPECT_TRUE(file->IsEOF());
  file->Seek(0, SeekStart);
  EXPECT_FALSE(file->IsEOF());
  file->Seek(10, SeekStart);  // past the end: at the size, flag unchanged
  EXPECT_EQ(file->Tell(), 4);
  EXPECT_EQ(file->Write("x", 1), 0u);

  TFilePtr text = FileOpen("crlf.txt", FileReadText);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Read(buffer, 3), 3u);
  EXPECT_EQ(std::string(buffer, 3), "x\ny");
  EXPECT_EQ(text->Tell(), 4);  // more bytes consumed than stored
}

TEST_F(PackageTest, HugeReadCountsStayInTheRange) {
  // position + count wrapped around and let a read run past the range.
  WritePackage(mRoot / "assets/p.jxp", {{"a.bin", "0123456789"}, {"b.bin", "SECRET"}});
  InitAssetFolders();
  TFilePtr file = FileOpen("a.bin", FileReadRaw);
  ASSERT_NE(file, nullptr);
  file->Seek(8, SeekStart);
  char buffer[16] = {};
  EXPECT_EQ(file->Read(buffer, SIZE_MAX - 4), 2u);
  EXPECT_EQ(std::string(buffer), "89");
  EXPECT_TRUE(file->IsEOF());
  file->Seek(INT64_MIN, SeekCurrent);
  EXPECT_EQ(file->Tell(), 0);
}

TEST_F(PackageTest, UncheckedOffsetsAndSizesAreRefused) {
  // Each of these fixtures made the mount or a later read touch memory outside the package.
  struct {
    const char* fixture;
    const char* logged;
  } cases[] = {
      {"pkg_bad_magic.jxp", "refused: bad magic"},
      {"pkg_truncated_table.jxp", "refused: table truncated at entry 1"},
      {"pkg_huge_count.jxp", "refused: entry count 2147483647 larger than the file can hold"},
  };
  for (const auto& c : cases) {
    TString copy = mRoot / (std::string("assets/") + c.fixture).c_str();
    WriteTextFile(copy, ReadTextFile(Fixture(c.fixture).c_str()));
    EXPECT_FALSE(MountPackage(copy)) << c.fixture;
    EXPECT_NE(Log().find(c.logged), std::string::npos) << c.fixture;
  }
  EXPECT_TRUE(GetFileMap().empty());
  EXPECT_TRUE(GetPackageTable().empty());

  TString partly = mRoot / "assets/pkg_entry_past_end.jxp";
  WriteTextFile(partly, ReadTextFile(Fixture("pkg_entry_past_end.jxp").c_str()));
  EXPECT_TRUE(MountPackage(partly));
  EXPECT_EQ(ReadAll("good.txt"), "GOOD");
  EXPECT_FALSE(FileExists("bad.txt"));  // refused per entry
  EXPECT_NE(Log().find("entry 'bad.txt' lies outside the file and is skipped"), std::string::npos);

  TString empty = mRoot / "assets/zero.jxp";
  WriteTextFile(empty, ReadTextFile(Fixture("pkg_count_zero.jxp").c_str()));
  EXPECT_TRUE(MountPackage(empty));
  EXPECT_EQ(GetPackageTable().size(), 2u);  // gets an index and a mapping, enters nothing
  EXPECT_EQ(GetFileMap().size(), 1u);
}

TEST_F(PackageTest, RemountKeepsOpenStreamsReadable) {
  // The old mapping was closed before the new one opened, under streams still reading it.
  TString path = mRoot / "assets/p.jxp";
  WritePackage(path, {{"a.txt", "first version"}});
  ASSERT_TRUE(MountPackage(path));
  TFilePtr old = FileOpen("a.txt", FileReadRaw);
  ASSERT_NE(old, nullptr);
  unlink(path.c_str());
  WritePackage(path, {{"a.txt", "second"}, {"b.txt", "new"}});
  ASSERT_TRUE(MountPackage(path));
  EXPECT_EQ(GetPackageTable().size(), 1u);  // the same index again
  char buffer[32] = {};
  EXPECT_EQ(old->Read(buffer, sizeof buffer), 13u);
  EXPECT_EQ(std::string(buffer), "first version");
  EXPECT_EQ(ReadAll("a.txt"), "second");
  EXPECT_EQ(ReadAll("b.txt"), "new");

  // A broken replacement leaves the mounted package as it was.
  unlink(path.c_str());
  WriteTextFile(path, "JXPK\x05");
  EXPECT_FALSE(MountPackage(path));
  EXPECT_EQ(ReadAll("b.txt"), "new");
}

TEST_F(PackageTest, APackageShorterOnDiskFailsReadsInsteadOfSignalling) {
  // A new package copied over a mounted one cut the mapping short: the next read from the
  // lost pages ended the game with SIGBUS.
  TString path = mRoot / "assets/p.jxp";
  const std::string big(3 * 4096, 'x');
  WritePackage(path, {{"big.bin", big}, {"lines.txt", std::string(8192, 'y') + "\r\n"}});
  ASSERT_TRUE(MountPackage(path));
  TFilePtr open = FileOpen("big.bin", FileReadRaw);
  ASSERT_NE(open, nullptr);
  char buffer[16];
  ASSERT_EQ(open->Read(buffer, sizeof buffer), sizeof buffer);

  WritePackage(path, {{"big.bin", "new"}});  // rewritten in place, a few bytes long
  std::string rest(big.size(), '\0');
  EXPECT_EQ(open->Read(rest.data(), rest.size()), 0u);
  EXPECT_TRUE(open->IsEOF());
  EXPECT_EQ(open->Read(buffer, sizeof buffer), 0u);  // the stream stays closed, quietly
  for (int mode : {FileReadRaw, FileReadText}) {
    std::string out;
    EXPECT_FALSE(ReadWholeFile("lines.txt", out, mode)) << mode;
  }
  std::string log = Log();
  size_t lines = 0;
  for (size_t at = log.find("the package changed on disk"); at != std::string::npos;
       at = log.find("the package changed on disk", at + 1))
    ++lines;
  EXPECT_EQ(lines, 3u) << log;
  EXPECT_NE(log.find("error reading @0:"), std::string::npos) << log;
}

TEST_F(PackageTest, NegativeEntryCountMountsEmptyWithALogLine) {
  TString path = mRoot / "assets/negative.jxp";
  WriteTextFile(path, std::string("JXPK\xfd\xff\xff\xff", 8));
  EXPECT_TRUE(MountPackage(path));
  EXPECT_EQ(GetPackageTable().size(), 1u);
  EXPECT_TRUE(GetFileMap().empty());
  EXPECT_NE(Log().find("Package " + std::string(path.c_str()) + ": negative entry count -3, mounted without entries"),
            std::string::npos)
      << Log();
}

TEST_F(PackageTest, ExcludedNamesInPackagesAreNotEntered) {
  WriteTextFile(mRoot / "final.txt", "secret.txt");
  WritePackage(mRoot / "assets/p.jxp", {{"secret.txt", "s"}, {"open.txt", "o"}});
  InitAssetFolders();
  EXPECT_FALSE(FileExists("secret.txt"));
  EXPECT_EQ(ReadAll("open.txt"), "o");
}

TEST(PackageWriter, RefusesBadInput) {
  std::string image, error;
  EXPECT_FALSE(BuildPackageImage({{"", "x"}}, image, &error));
  EXPECT_FALSE(BuildPackageImage({{std::string(256, 'n'), "x"}}, image, &error));
  EXPECT_FALSE(BuildPackageImage({{"A.txt", "1"}, {"a.TXT", "2"}}, image, &error));
  EXPECT_NE(error.find("appears twice"), std::string::npos);
  std::vector<TPackageInput> inputs;
  EXPECT_FALSE(CollectPackageInputs("/nonexistent-folder-for-test", "", inputs, &error));
  ASSERT_TRUE(BuildPackageImage({{"n", "data"}}, image, &error));
  EXPECT_EQ(image, std::string("JXPK\x01\0\0\0\x01n\x12\0\0\0\x04\0\0\0data", 22));
}
