// The asset map: names without extensions found through the standard ones, loaders by
// extension, options after "?", the shared cache keys, typed lookups and auto-load.

#include <gtest/gtest.h>

#include "graphics/display/display_rig.h"
#include "graphics/sprites/anim_texture.h"
#include "graphics/sprites/asset_map.h"
#include "graphics/sprites/mesh.h"
#include "platform/asset_loaders.h"
#include "platform/file_map.h"
#include "script/script_code.h"
#include "sound/ogg_data_source.h"
#include "sound/sound.h"
#include "sound/sound_data_source.h"

namespace {

class AssetMap : public ::testing::Test {
 protected:
  AssetMap() : mSavedAssetFolder(GetAssetFolder()) {
    mRig.Window(64, 48);
    TString fixtures = TString(TARVELON_FIXTURES) + "/graphics";
    SetAssetFolder(fixtures);
    ScanAssetFolder(fixtures, "");
    ScanAssetFolder(TString(TARVELON_FIXTURES) + "/sound", "sounds/");
    RegisterOggDataSource();
    RegisterSoundAssetLoaders();
    RegisterScriptAssetLoaders();
    mRig.log.TakeNew();
  }
  ~AssetMap() override {
    ClearAssetLoaders();
    ClearSoundDataSourceBuilders();
    ClearFileMap();
    SetAssetFolder(mSavedAssetFolder);
  }
  std::string Logged() { return mRig.log.TakeNew(); }

  TDisplayRig mRig;
  TString mSavedAssetFolder;
  TAssetMap mMap;
};

TEST_F(AssetMap, FindsFilesByTheStandardExtensionsInOrder) {
  mMap.AddAsset("sprites\\door");  // door.xml and door.png: ".xml" comes first
  EXPECT_TRUE(mMap.HasAsset("sprites/door"));
  EXPECT_NE(mMap.GetAnimatedTexture("sprites/door"), nullptr);
  mMap.AddAsset("sprites/door.png");  // given in full: the picture
  auto picture = mMap.GetTexture("sprites/door.png");
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->IsKindOf(TAnimatedTexture::ClassId()));
  mMap.AddAsset("sprites/key");
  EXPECT_EQ(mMap.GetTexture("sprites/key")->GetWidth(), 6u);
  mMap.AddAsset("mesh/quad");
  mMap.AddAsset("sprites/spin");
  EXPECT_EQ(Logged(), "");

  // The cache keys: the entry name with ":tex", "::" or as it is.
  TAssetManager& cache = mRig.assets;
  EXPECT_EQ(cache.GetAsset("sprites/key:tex"), mMap.GetTexture("sprites/key"));
  EXPECT_EQ(cache.GetAsset("sprites/door::"), mMap.GetAnimatedTexture("sprites/door"));
  EXPECT_NE(TModel::CastFromAsset(cache.GetAsset("mesh/quad")), nullptr);
  EXPECT_NE(TScriptCode::CastFromAsset(cache.GetAsset("sprites/spin")), nullptr);

  // A second map shares what the first keeps alive.
  TAssetMap other;
  other.AddAsset("sprites/key");
  EXPECT_EQ(other.GetTexture("sprites/key"), mMap.GetTexture("sprites/key"));
}

TEST_F(AssetMap, SoundOptionsStayInTheNameAndTheKey) {
  mMap.AddAsset("sounds/tone_a?group=3");
  auto sound = mMap.GetSound("sounds/tone_a?group=3");
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->GetFileName(), "sounds/tone_a.ogg");
  EXPECT_EQ(sound->GetData()->GetGroup(), 3);
  EXPECT_EQ(mRig.assets.GetAsset("sounds/tone_a?group=3;0;3"), sound);
  EXPECT_FALSE(mMap.HasAsset("sounds/tone_a"));

  struct TCase {
    const char* options;
    const char* key;
  } cases[] = {{"", "n;0;0"}, {"?volume=2", "n;0;0"}, {"?group=7", "n;0;7"}, {"?a=1&group=12", "n;0;12"}};
  for (const TCase& c : cases) EXPECT_EQ(TSound::MakeEntryCacheKey("n", c.options), c.key) << c.options;
}

TEST_F(AssetMap, TypedLookupsGiveOnlyTheirKind) {
  mMap.AddAsset("sounds/tone_a");
  mMap.AddAsset("sprites/door");
  EXPECT_EQ(mMap.GetTexture("sounds/tone_a"), nullptr);
  EXPECT_EQ(Logged(), "");  // another kind: no message
  EXPECT_NE(mMap.GetTexture("sprites/door"), nullptr);  // an animated texture is a texture
  EXPECT_EQ(mMap.GetAnimatedTexture("sounds/tone_a"), nullptr);
  EXPECT_EQ(mMap.GetSound("sprites/door"), nullptr);

  // A given asset replaces what the name held.
  auto sound = mMap.GetSound("sounds/tone_a");
  mMap.AddAsset("sprites/door", sound);
  EXPECT_EQ(mMap.GetSound("sprites/door"), sound);
}

TEST_F(AssetMap, MissingNamesLogOnceAndLeaveEmptyEntries) {
  EXPECT_EQ(mMap.GetTexture("sprites/key"), nullptr);
  EXPECT_NE(Logged().find("Texture asset not found: sprites/key (auto load set to false)"), std::string::npos);
  EXPECT_FALSE(mMap.HasAsset("sprites/key"));
  EXPECT_EQ(mMap.GetAnimatedTexture("x"), nullptr);
  EXPECT_NE(Logged().find("Animated texture asset not found: x (auto load set to false)"), std::string::npos);
  EXPECT_EQ(mMap.GetSound("y"), nullptr);
  EXPECT_NE(Logged().find("Sound asset not found: y"), std::string::npos);

  mMap.SetAutoLoad(true);
  EXPECT_NE(mMap.GetTexture("sprites/key"), nullptr);  // loaded on demand
  EXPECT_EQ(mMap.GetTexture("nothing/here"), nullptr);
  std::string logged = Logged();
  EXPECT_NE(logged.find("Failed to find asset nothing/here with any standard extension"), std::string::npos);
  EXPECT_NE(logged.find("(auto load set to true)"), std::string::npos);

  // A copy keeps the entries and the flag.
  TAssetMap copy = mMap;
  EXPECT_TRUE(copy.GetAutoLoad());
  EXPECT_EQ(copy.GetTexture("sprites/key"), mMap.GetTexture("sprites/key"));
}

// The map takes the loaders of other kinds from the registry: what is registered for an
// extension loads it, under the key the loader makes; without a loader a sound is an error.
TEST_F(AssetMap, OtherKindsComeFromTheRegisteredLoaders) {
  auto note = std::make_shared<TAsset>();
  TString asked;
  RegisterAssetLoader("txt", {TAsset::ClassId(), [](const TString& entry, const TString&) { return entry + ":note"; },
                              [&](const TString& file) -> std::shared_ptr<TAsset> {
                                asked = file;
                                return note;
                              }});
  mMap.AddAsset("sprites/notes.txt?x");
  EXPECT_EQ(asked, "sprites/notes.txt?x");
  EXPECT_EQ(mRig.assets.GetAsset("sprites/notes.txt?x:note"), note);
  EXPECT_TRUE(mMap.HasAsset("sprites/notes.txt?x"));

  ClearAssetLoaders();
  mMap.AddAsset("sounds/tone_a");
  EXPECT_NE(Logged().find("TAssetMap::AddAsset: Error loading sounds/tone_a.ogg"), std::string::npos);
  EXPECT_FALSE(mMap.HasAsset("sounds/tone_a"));
}

TEST_F(AssetMap, FilesNoLoaderTakesOrThatFailAreLogged) {
  size_t entries = mMap.GetEntryCount();
  mMap.AddAsset("sprites/notes.txt");
  EXPECT_NE(Logged().find("TAssetMap::AddAsset: Error loading sprites/notes.txt"), std::string::npos);
  mMap.AddAsset("mesh/cut_vertices");
  EXPECT_NE(Logged().find("TAssetMap::AddAsset: Error loading mesh/cut_vertices.mesh"), std::string::npos);
  mMap.AddAsset("anim/frame_count_overrun?x");
  EXPECT_NE(Logged().find("Error loading anim/frame_count_overrun.anm?x"), std::string::npos);
  mMap.AddAsset("nothing");
  EXPECT_NE(Logged().find("TAssetMap::AddAsset: Failed to find asset nothing with any standard extension "
                          "(jpg/jp2/png/anm/xml/ogg/mesh)"),
            std::string::npos);
  mMap.AddAsset("nothing", nullptr, true);
  mMap.AddAsset("sprites/notes.txt", nullptr, true);
  EXPECT_EQ(Logged(), "");  // quiet
  EXPECT_EQ(mMap.GetEntryCount(), entries);

  const char* const names[] = {"sprites/key", "mesh/quad", nullptr};
  mMap.AddAssets(names);
  EXPECT_TRUE(mMap.HasAsset("sprites/key"));
  EXPECT_TRUE(mMap.HasAsset("mesh/quad"));
}

}  // namespace
