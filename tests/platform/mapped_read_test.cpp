// Mapped reads: a fault on a page lost to a shorter file ends the read, not the program,
// and only inside a mapped read.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/mapped_read.h"
#include "test_util.h"

namespace {

struct Copy {
  const unsigned char* from;
  unsigned char* to;
  size_t size;
};

void CopyBytes(void* context) {
  Copy* c = static_cast<Copy*>(context);
  memcpy(c->to, c->from, c->size);
}

// A two-page file mapped whole, then cut to nothing: both pages are lost to the mapping.
class MappedReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TString path = mFolder / "mapped.bin";
    WriteTextFile(path, std::string(kSize, 'm'));
    int fd = open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    void* view = mmap(nullptr, kSize, PROT_READ, MAP_PRIVATE, fd, 0);
    ASSERT_NE(view, MAP_FAILED);
    mView = static_cast<const unsigned char*>(view);
    unsigned char buffer[16];
    Copy whole{mView, buffer, sizeof buffer};
    ASSERT_TRUE(RunMappedRead(CopyBytes, &whole));
    EXPECT_EQ(buffer[0], 'm');
    ASSERT_EQ(ftruncate(fd, 0), 0);
    close(fd);
  }
  void TearDown() override { munmap(const_cast<unsigned char*>(mView), kSize); }

  static constexpr size_t kSize = 2 * 4096;
  TTempFolder mFolder;
  const unsigned char* mView = nullptr;
};

TEST_F(MappedReadTest, AFaultEndsTheReadAgainAndAgain) {
  unsigned char buffer[kSize];
  Copy lost{mView, buffer, kSize};
  for (int i = 0; i < 3; i++) EXPECT_FALSE(RunMappedRead(CopyBytes, &lost)) << i;
  Copy none{mView, buffer, 0};
  EXPECT_TRUE(RunMappedRead(CopyBytes, &none));
}

TEST_F(MappedReadTest, OutsideAMappedReadTheFaultStillEndsTheProgram) {
  unsigned char buffer[kSize];
  Copy lost{mView, buffer, kSize};
  EXPECT_FALSE(RunMappedRead(CopyBytes, &lost));  // the handler is in place
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(CopyBytes(&lost), "");
}

}  // namespace
