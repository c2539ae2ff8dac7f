// The collation library: found once, beside the executable or in the folder given, it orders
// every engine string; without it, or without its export, texts compare as bytes.

#include "host/dll_collate_handler.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/engine_string.h"
#include "platform/test_util.h"

namespace {

std::string Built(const char* library) { return std::string(TARVELON_TEST_COLLATION) + "/" + library + "/"; }

class CollateTest : public ::testing::Test {
 protected:
  void TearDown() override { SetCollationLoader(nullptr); }
  static bool BSortsBeforeA() { return TString("B") < TString("a"); }
};

}  // namespace

TEST_F(CollateTest, TheLibraryOrdersEngineStringsAndIsLookedUpOnce) {
  EXPECT_TRUE(BSortsBeforeA()) << "byte order without a library";

  TTempFolder folder;
  std::string place = folder.Path().ToStd() + "/";
  InstallCollationLibrary(place);
  EXPECT_TRUE(BSortsBeforeA());
  // A library that comes later is not used: the look-up has been made.
  std::filesystem::copy_file(Built("collate") + "jxlocale.so", place + "jxlocale.so");
  EXPECT_TRUE(BSortsBeforeA());

  InstallCollationLibrary(place);
  EXPECT_FALSE(BSortsBeforeA());
  EXPECT_LT(TString("a").Compare("B"), 0);
  EXPECT_TRUE(TString("Nebeltal") == TString("NEBELTAL")) << "equality follows the library too";
}

TEST_F(CollateTest, ALibraryWithoutItsExportIsClosedAgain) {
  EXPECT_EQ(CreateCollateHandler(Built("no_collate")), nullptr);
  EXPECT_EQ(dlopen((Built("no_collate") + "jxlocale.so").c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
  std::unique_ptr<TDllCollateHandler> handler = CreateCollateHandler(Built("collate"));
  ASSERT_NE(handler, nullptr);
  EXPECT_LT(handler->Compare("a", "B"), 0);
  InstallCollationLibrary(Built("no_collate"));
  EXPECT_TRUE(BSortsBeforeA());
}
