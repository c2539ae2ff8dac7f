#pragma once
// A test fixture working in a temporary folder made current, with an "assets" folder below
// it and the data folders "user", "common" and "desktop" pointing into it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "package_writer.h"
#include "platform/directory_iterator.h"
#include "platform/file_map.h"
#include "test_util.h"

class TFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetPlatformState();
    mOldDir = GetCurrentDir();
    ASSERT_EQ(chdir(mRoot.Path().c_str()), 0);
    MakeFolder("assets");
    SetDataFolders(mRoot / "user", mRoot / "common", mRoot / "desktop");
  }
  void TearDown() override {
    ResetPlatformState();
    if (chdir(mOldDir.c_str()) != 0) ADD_FAILURE() << "cannot return to " << mOldDir.c_str();
  }
  void WritePackage(const TString& path, const std::vector<TPackageInput>& inputs) {
    std::string image, error;
    ASSERT_TRUE(BuildPackageImage(inputs, image, &error)) << error;
    WriteTextFile(path, image);
  }
  TTempFolder mRoot;
  TString mOldDir;
};
