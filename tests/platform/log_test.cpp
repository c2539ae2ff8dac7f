#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "platform/log.h"
#include "test_util.h"

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetPlatformState(); }
  void TearDown() override { OpenLogFile(nullptr); }
  TTempFolder mFolder;
};

TEST_F(LogTest, NewLogPerRunWithTimeAndMessage) {
  TString folder = mFolder / "logs";  // created when missing
  WriteTextFile(folder + "/logfile.txt", "old run\n");
  OpenLogFile(folder.c_str());
  EXPECT_STREQ(GetLogPath().c_str(), (folder + "/logfile.txt").c_str());
  LogPrintf("%s, version %s.", "Tarvelon", "V. 1.0");
  std::string text = ReadTextFile(GetLogPath());
  EXPECT_EQ(text.find("old run"), std::string::npos);
  // "Thu Dec 10 13:27:04 2026: Tarvelon, version V. 1.0.\n"
  EXPECT_NE(text.find(": Tarvelon, version V. 1.0.\n"), std::string::npos) << text;
  EXPECT_EQ(text.find('\n'), text.size() - 1);

  GetFailure()->Report("broken", 12, "file.cpp");
  GetFailure()->Log("plain %s");
  text = ReadTextFile(GetLogPath());
  EXPECT_NE(text.find(": file.cpp(12): broken\n"), std::string::npos);
  EXPECT_NE(text.find(": plain %s\n"), std::string::npos);
}

TEST_F(LogTest, OffWithoutFolderAndMemoryMaxMarkerIsIgnored) {
  OpenLogFile(nullptr);
  LogPrintf("nothing %d", 1);  // must not fail
  EXPECT_TRUE(GetLogPath().IsEmpty());
  OpenLogFile(mFolder.Path().c_str());
  OpenLogFile("__MEMORYMAX__123");
  EXPECT_STREQ(GetLogPath().c_str(), (mFolder / "logfile.txt").c_str());
}

// Regression: with no folder to write the log in, every line went nowhere without a word.
TEST_F(LogTest, AFolderThatCannotBeWrittenSaysSoOnStderr) {
  WriteTextFile(mFolder / "plain", "a file, not a folder\n");
  TString folder = mFolder / "plain/logs";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(OpenLogFile(folder.c_str()));
  LogPrintf("lost %d", 1);
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "Cannot write the log file " + std::string(folder.c_str()) +
                      "/logfile.txt (Not a directory): nothing is logged.\n");
  EXPECT_TRUE(GetLogPath().IsEmpty());
  EXPECT_TRUE(OpenLogFile(mFolder.Path().c_str()));
}

TEST_F(LogTest, WrapsAroundBehindTheFirstHalf) {
  OpenLogFile(mFolder.Path().c_str());
  std::string filler(200, 'f');
  int lines = 0;
  LogPrintf("first line");
  while (std::filesystem::file_size(GetLogPath().c_str()) <= LogWrapLimit) {
    LogPrintf("line %04d %s", lines++, filler.c_str());
  }
  LogPrintf("after the wrap");
  std::string text = ReadTextFile(GetLogPath());
  size_t marker = text.find(LogWrapMarker);
  ASSERT_EQ(marker, size_t(LogWrapOffset));
  size_t after = text.find("after the wrap", marker);
  EXPECT_EQ(after, text.find(": after the wrap") + 2);
  EXPECT_GT(after, marker);
  EXPECT_NE(text.find("line 0000"), std::string::npos);  // the start of the run stays
  EXPECT_LT(text.size(), size_t(LogWrapLimit) + 1000);
}

TEST_F(LogTest, TwoThreadsWriteWholeLines) {
  OpenLogFile(mFolder.Path().c_str());
  auto writer = [](char c) {
    std::string body(60, c);
    for (int i = 0; i < 200; ++i) LogPrintf("%s", body.c_str());
  };
  std::thread a(writer, 'a'), b(writer, 'b');
  a.join();
  b.join();
  std::istringstream in(ReadTextFile(GetLogPath()));
  std::string line;
  int count = 0;
  while (std::getline(in, line)) {
    ++count;
    size_t colon = line.find(": ");
    ASSERT_NE(colon, std::string::npos) << line;
    std::string body = line.substr(colon + 2);
    ASSERT_EQ(body.size(), 60u) << line;
    EXPECT_EQ(body.find_first_not_of(body[0]), std::string::npos) << line;
  }
  EXPECT_EQ(count, 400);
}
