#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/asset.h"

namespace {

struct TTestAsset : TAsset {
  TARVELON_CLASS_ID()
  explicit TTestAsset(std::vector<std::string>* calls, std::string name) : mCalls(calls), mName(std::move(name)) {}
  ~TTestAsset() override {
    if (onDestroy) onDestroy();
  }
  const char* GetClassName() const override { return "TTestAsset"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }
  void Release() override {
    mCalls->push_back("release " + mName);
    if (onRelease) onRelease();
  }
  void Restore() override { mCalls->push_back("restore " + mName); }
  std::vector<std::string>* mCalls;
  std::string mName;
  std::function<void()> onRelease, onDestroy;
};

}  // namespace

TEST(AssetCache, WeakEntriesAndLookups) {
  std::vector<std::string> calls;
  TAssetManager cache;
  auto texture = std::make_shared<TTestAsset>(&calls, "t");
  cache.AddAsset("Tex.png", texture);
  EXPECT_EQ(cache.GetAsset("Tex.png"), texture);
  EXPECT_EQ(cache.GetAsset("tex.png"), nullptr);  // names differ by case
  EXPECT_EQ(texture.use_count(), 1);              // the cache keeps nothing alive
  size_t before = cache.Size();
  for (int i = 0; i < 10; ++i) cache.GetAsset("missing" + std::to_string(i));
  EXPECT_EQ(cache.Size(), before);  // lookups of missing names do not grow the map

  auto second = std::make_shared<TTestAsset>(&calls, "second");
  cache.AddAsset("Tex.png", second);  // replaces; the first lives on with its holder
  EXPECT_EQ(cache.GetAsset("Tex.png"), second);
  second.reset();
  EXPECT_EQ(cache.GetAsset("Tex.png"), nullptr);
  EXPECT_EQ(cache.Size(), 1u);
  cache.ReleaseAll();
  EXPECT_EQ(cache.Size(), 0u);
  EXPECT_TRUE(texture->IsKindOf(TTestAsset::ClassId()));
  EXPECT_TRUE(texture->IsKindOf(TAsset::ClassId()));
  EXPECT_FALSE(TAsset().IsKindOf(TTestAsset::ClassId()));
  cache.AddAsset("x", texture);
  cache.RemoveAsset("x");
  EXPECT_EQ(cache.GetAsset("x"), nullptr);
}

TEST(AssetCache, RestoreAllReachesLiveAssetsOnly) {
  std::vector<std::string> calls;
  TAssetManager cache;
  auto live = std::make_shared<TTestAsset>(&calls, "live");
  cache.AddAsset("a", live);
  cache.AddAsset("b", std::make_shared<TTestAsset>(&calls, "freed"));
  cache.RestoreAll();
  EXPECT_EQ(calls, (std::vector<std::string>{"restore live"}));
  EXPECT_EQ(cache.Size(), 2u);  // restoring sweeps nothing
}

TEST(AssetCache, ReleaseAllSurvivesAReleaseThatFreesAnotherAsset) {
  // An asset's Release dropped the last holder of another, whose destructor took its name
  // out of the map while ReleaseAll walked it.
  std::vector<std::string> calls;
  TAssetManager cache;
  auto first = std::make_shared<TTestAsset>(&calls, "a");
  auto second = std::make_shared<TTestAsset>(&calls, "b");
  auto third = std::make_shared<TTestAsset>(&calls, "c");
  cache.AddAsset("a", first);
  cache.AddAsset("b", second);
  cache.AddAsset("c", third);
  second->onDestroy = [&] { cache.RemoveAsset("b"); };
  third->onDestroy = [&] { cache.RemoveAsset("c"); };
  first->onRelease = [&] {
    second.reset();
    third.reset();
  };
  cache.ReleaseAll();
  EXPECT_EQ(calls, (std::vector<std::string>{"release a", "release b", "release c"}));
  EXPECT_EQ(cache.Size(), 1u);
  EXPECT_EQ(cache.GetAsset("a"), first);
}
