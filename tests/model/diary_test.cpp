#include "model/diary.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "model/model_services.h"
#include "model_test_util.h"
#include "persistence/persistence_test_util.h"
#include "persistence/prefs_db.h"
#include "platform/settings.h"
#include "platform/string_table.h"

namespace {

// Texts are one line of their font size unless `lines' says more; images have the sizes
// in `images'.
struct TFakeMeasure : IDiaryMeasure {
  std::map<std::string, int32_t>* lines;
  std::map<std::string, std::pair<int32_t, int32_t>>* images;
  int32_t GetTextHeight(const TString& text, const TString&, int32_t fontSize, int32_t) override {
    auto found = lines->find(text.ToStd());
    return fontSize * (found == lines->end() ? 1 : found->second);
  }
  bool GetImageSize(const TString& name, int32_t& width, int32_t& height) override {
    auto found = images->find(name.ToStd());
    if (found == images->end()) return false;
    width = found->second.first;
    height = found->second.second;
    return true;
  }
};

const TDiaryValues TextValues(int32_t x, int32_t y) { return {0, -1, -1, x, y, 1000}; }
const TDiaryValues EndValues = {0, -1, -1, -1, -1, 1000};

class DiaryTest : public TModelTest {
 protected:
  void SetUp() override {
    TModelTest::SetUp();
    auto measure = std::make_unique<TFakeMeasure>();
    measure->lines = &lines;
    measure->images = &images;
    SetDiaryMeasure(std::move(measure));
    diary = TDiary::CreateInstance();
    // Two pages a spread: (100, 50)-(400, 250) and (500, 60)-(800, 260).
    diary->AddPageLayout(100, 50, 300, 200);
    diary->AddPageLayout(500, 60, 300, 200);
  }
  void TearDown() override {
    TDiary::DestroyInstance();
    SetDiaryMeasure(nullptr);
    TModelTest::TearDown();
  }
  void Text(const char* id, int32_t size = 20, int32_t x = 0, int32_t y = 0) {
    diary->InsertContentAtSite(DiaryText, id, TRect(0, 0, 0, 1), size, "fonts/x.mvec", TextValues(x, y));
  }
  void SiteEnd() { diary->InsertContentAtSite(DiarySiteEnd, "end", TRect(), 30, TDiary::DefaultFontFile, EndValues); }
  void Constant(int32_t kind, const char* id, uint32_t interval, int32_t size = 20, int32_t y = 0) {
    diary->AddConstantContent(kind, id, interval, TRect(), size, TDiary::DefaultFontFile,
                              kind == DiarySiteEnd ? EndValues : TextValues(0, y));
  }
  // "id@site" for every entry that is laid out (page ends left out).
  std::string Shown() const {
    std::string out;
    for (uint32_t i = 0; i < diary->GetNumberOfContent(); ++i) {
      const TDiaryEntry* entry = diary->GetContent(i);
      if (entry->GetKind() == DiarySiteEnd) continue;
      out += (out.empty() ? "" : " ") + entry->id.ToStd() + "@" + std::to_string(entry->GetSite());
    }
    return out;
  }

  std::map<std::string, int32_t> lines;
  std::map<std::string, std::pair<int32_t, int32_t>> images;
  TDiary* diary = nullptr;
};

TEST_F(DiaryTest, SpreadsTurnWithinTheInsertSiteAndLayoutsRepeatBySite) {
  for (int i = 0; i < 3; ++i) SiteEnd();
  ASSERT_EQ(diary->GetCurrentInsertSite(), 3u);
  diary->TurnPageForward();
  EXPECT_EQ(diary->GetCurrentWatchedSite(), 2u);
  diary->TurnPageForward();  // 2 + 2 > 3
  EXPECT_EQ(diary->GetCurrentWatchedSite(), 2u);
  diary->TurnPageBack();
  EXPECT_EQ(diary->GetCurrentWatchedSite(), 0u);
  diary->TurnPageBack();
  EXPECT_EQ(diary->GetCurrentWatchedSite(), 0u);

  SiteEnd();
  SiteEnd();
  EXPECT_EQ(diary->GetInsertPageLayout(), TRect(500, 60, 800, 260));
  EXPECT_EQ(diary->GetLastUsedYOnSite(), 60);
}

TEST_F(DiaryTest, EntriesFlowDownTheSiteAndOnToTheNextWhenFull) {
  images["map.png"] = {120, 80};
  Text("first", 20, 10, 5);
  const TDiaryEntry* first = diary->GetContent(0);
  EXPECT_EQ(first->GetPosition(), TPoint(110, 55));  // the layout's corner and the offsets
  EXPECT_EQ(first->GetWidth(), 290);
  EXPECT_EQ(first->GetHeight(), 20);
  EXPECT_EQ(first->GetFontSize(), 20);
  EXPECT_EQ(first->GetAlignment(), 0);
  EXPECT_EQ(first->GetMaxLines(), 1000);
  EXPECT_EQ(first->GetRect(), TRect(0, 0, 0, 1));
  EXPECT_EQ(diary->GetLastUsedYOnSite(), 75);

  diary->InsertContentAtSite(DiaryImage, "map.png", TRect(), 30, "standard/fonts/arial.mvec", TextValues(0, 0));
  EXPECT_EQ(diary->GetContent(1)->GetPosition(), TPoint(100, 75));
  EXPECT_EQ(diary->GetContent(1)->GetWidth(), 120);
  EXPECT_EQ(diary->GetLastUsedYOnSite(), 155);

  lines["long"] = 5;  // 100 pixels: 155 + 100 > 250
  Text("long");
  const TDiaryEntry* moved = diary->GetContent(2);
  EXPECT_EQ(moved->GetBeginSite(), 0u);
  EXPECT_EQ(moved->GetSite(), 1u);
  EXPECT_EQ(moved->GetPosition(), TPoint(500, 60));
  EXPECT_EQ(diary->GetLastUsedYOnSite(), 160);

  // A page end ends the site even with room left; the next entry starts on a new one.
  SiteEnd();
  Text("after");
  EXPECT_EQ(Shown(), "first@0 map.png@0 long@1 after@2");
  EXPECT_EQ(diary->GetContent(4)->GetPosition(), TPoint(100, 50));
}

TEST_F(DiaryTest, ConstantEntriesAppearOnEveryNthSiteAsItIsOpened) {
  SiteEnd();
  SiteEnd();
  Constant(DiaryText, "header", 2, 20, 4);
  const TDiaryEntry* constant = diary->GetConstantContent(0);
  EXPECT_EQ(constant->GetFirstSite(), 2u);
  EXPECT_EQ(constant->GetInterval(), 2);
  EXPECT_EQ(constant->GetPosition(), TPoint(0, 4));  // the constant keeps its own values
  Text("a");
  for (int i = 0; i < 4; ++i) SiteEnd();
  EXPECT_EQ(Shown(), "header@2 a@2 header@4 header@6");
  // On a new site the header comes first and the next entry goes below it.
  Text("b");
  EXPECT_EQ(Shown(), "header@2 a@2 header@4 header@6 b@6");
  EXPECT_EQ(diary->GetContent(diary->GetNumberOfContent() - 2)->GetPosition(), TPoint(100, 54));
  EXPECT_EQ(diary->GetContent(diary->GetNumberOfContent() - 1)->GetPosition(), TPoint(100, 74));

  // An entry that does not fit opens the site of the next header too.
  lines["tall"] = 8;
  Text("tall");
  Text("tall");
  EXPECT_EQ(Shown(), "header@2 a@2 header@4 header@6 b@6 tall@7 header@8 tall@8");
}

TEST_F(DiaryTest, WithoutPageLayoutsNothingIsAddedAndNothingDivides) {
  TDiary* empty = TDiary::CreateInstance();
  diary = empty;
  empty->InsertContentAtSite(DiaryText, "a", TRect(), 20, "f", TextValues(0, 0));
  empty->AddConstantContent(DiaryText, "b", 1, TRect(), 20, "f", TextValues(0, 0));
  empty->AddConstantContent(DiarySiteEnd, "end", 1, TRect(), 30, "f", EndValues);
  EXPECT_EQ(empty->GetInsertPageLayout(), TRect());
  empty->TurnPageForward();
  empty->TurnPageBack();
  EXPECT_EQ(empty->GetNumberOfContent(), 0u);
  EXPECT_EQ(empty->GetNumberOfConstantContent(), 0u);
  EXPECT_EQ(empty->GetCurrentInsertSite(), 0u);
  EXPECT_NE(ReadLog().find("Diary: no page layouts"), std::string::npos);
}

TEST_F(DiaryTest, AnEntryTallerThanAPageOpensOneSiteAtMost) {
  lines["huge"] = 50;  // 1000 pixels, taller than any page
  Text("huge");        // nothing stands on site 0 yet: it stays, its box cut to the page
  EXPECT_EQ(diary->GetCurrentInsertSite(), 0u);
  EXPECT_EQ(diary->GetContent(0)->GetHeight(), 200);
  EXPECT_EQ(diary->GetLastUsedYOnSite(), 250);
  Text("huge");
  Text("huge");
  EXPECT_EQ(Shown(), "huge@0 huge@1 huge@2");
  EXPECT_EQ(diary->GetContent(2)->GetHeight(), 200);
  // A constant entry too tall for a page is bounded the same way.
  Constant(DiaryText, "huge", 1);
  EXPECT_EQ(diary->GetCurrentInsertSite(), 3u);
}

TEST_F(DiaryTest, AConstantPageEndOpensABoundedNumberOfSites) {
  Text("a");
  Constant(DiarySiteEnd, "end", 1);  // a page end never fits: it ends site 0 once
  EXPECT_EQ(diary->GetCurrentInsertSite(), 1u);
  EXPECT_EQ(diary->GetConstantContent(0)->GetFirstSite(), 0u);
  EXPECT_EQ(diary->GetNumberOfContent(), 1u);  // it is only recorded
  Text("b");
  // Site 2 is due to end at once; the site that opens is not ended again.
  SiteEnd();
  EXPECT_EQ(diary->GetCurrentInsertSite(), 3u);
  Text("c");
  EXPECT_EQ(Shown(), "a@0 b@1 c@3");
}

TEST_F(DiaryTest, EveryEntrySavesAndLoadsAsItStands) {
  TPersistenceSandbox sandbox;
  TPrefsDB db(true);
  db.SetString("name", "Mara", 0);
  SetPlayerPrefsSource([&db] { return TPlayerPrefs{&db, 0}; });
  images["map.png"] = {120, 80};
  Text("first", 20, 10, 5);
  diary->InsertContentAtSite(DiaryImage, "map.png", TRect(-1, -2, 3, 4), 30, "", TextValues(0, 0));
  SiteEnd();
  Constant(DiaryText, "header", 3);
  SiteEnd();
  diary->TurnPageForward();
  diary->SaveToPrefs();

  EXPECT_EQ(db.GetInt("Diary_numberOfContent", 0, 0), 5);
  EXPECT_EQ(db.GetInt("Diary_numberOfConstantContent", 0, 0), 1);
  EXPECT_EQ(db.GetInt("Diary_Current_Insert_Site", 0, 0), 2);
  EXPECT_EQ(db.GetInt("Diary_Current_Watched_site", 0, 0), 2);
  unsigned char bytes[TDiaryEntry::ByteSize] = {};
  ASSERT_EQ(db.GetBytes("Diary_Content1", bytes, sizeof bytes, 0), 0);
  EXPECT_EQ(Hex(bytes + 8, 8), "00000000ffffffff");  // kind 0, then the rectangle's left
  EXPECT_EQ(db.GetString("Diary_id_Content2", "", 0).ToStd(), "end");
  EXPECT_EQ(db.GetString("Diary_fontFilename_ConstantContent0", "", 0).ToStd(), TDiary::DefaultFontFile);

  auto loaded = std::make_unique<TDiary>();
  loaded->LoadFromPrefs();
  loaded->LoadFromPrefs();  // loading again replaces, it does not add
  ASSERT_EQ(loaded->GetNumberOfContent(), 5u);
  ASSERT_EQ(loaded->GetNumberOfConstantContent(), 1u);
  EXPECT_EQ(loaded->GetCurrentInsertSite(), 2u);
  EXPECT_EQ(loaded->GetCurrentWatchedSite(), 2u);
  EXPECT_EQ(loaded->GetLastUsedYOnSite(), diary->GetLastUsedYOnSite());
  for (uint32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(loaded->GetContent(i)->words, diary->GetContent(i)->words) << i;
    EXPECT_EQ(loaded->GetContent(i)->id, diary->GetContent(i)->id) << i;
  }
  EXPECT_EQ(loaded->GetContent(0)->fontFile.ToStd(), "fonts/x.mvec");
  EXPECT_EQ(loaded->GetContent(1)->fontFile.ToStd(), "");
  EXPECT_EQ(loaded->GetConstantContent(0)->words, diary->GetConstantContent(0)->words);
}

TEST_F(DiaryTest, DamagedSavedEntriesLoadWithoutUnsetWords) {
  TPersistenceSandbox sandbox;
  TPrefsDB db(true);
  db.SetString("name", "Mara", 0);
  db.SetInt("Diary_numberOfContent", 4, 0);
  const unsigned char shortEntry[6] = {7, 0, 0, 0, 1, 0};
  db.SetBytes("Diary_Content0", shortEntry, sizeof shortEntry, 0);
  std::string longEntry(60, '\x01');
  db.SetBytes("Diary_Content1", longEntry.data(), int(longEntry.size()), 0);
  db.SetBytes("Diary_Content3", longEntry.data(), int(longEntry.size()), 0);  // after a gap
  db.SetInt("Diary_numberOfConstantContent", -5, 0);

  diary->LoadValues(db, 0);
  ASSERT_EQ(diary->GetNumberOfContent(), 2u);
  std::array<int32_t, TDiaryEntry::WordCount> expected{};
  expected[0] = 7;
  expected[1] = 1;
  EXPECT_EQ(diary->GetContent(0)->words, expected);
  EXPECT_EQ(diary->GetContent(0)->fontFile.ToStd(), TDiary::DefaultFontFile);
  EXPECT_EQ(diary->GetContent(0)->id.ToStd(), "");
  expected.fill(0x01010101);
  EXPECT_EQ(diary->GetContent(1)->words, expected);
  EXPECT_EQ(diary->GetNumberOfConstantContent(), 0u);
  std::string log = sandbox.Log();
  EXPECT_NE(log.find("Diary_Content0 holds 6 bytes"), std::string::npos);
  EXPECT_NE(log.find("Diary_Content2 is missing"), std::string::npos);
}

TEST_F(DiaryTest, SettingsGiveButtonsAndLayoutsAllOrNone) {
  SetConfig("diaryFWBXcoord", "10");
  SetConfig("diaryFWBYcoord", "20");
  SetConfig("diaryBWBXcoord", "30");
  SetConfig("diaryBWBYcoord", "40");
  const char* keys[][2] = {{"dcx1", "100"}, {"dcx2", "500"}, {"dcy1", "50"}, {"dcy2", "60"},
                           {"dcw1", "300"}, {"dcw2", "300"}, {"dch1", "200"}};
  for (auto& key : keys) SetConfig(key[0], key[1]);
  TDiary* fromSettings = TDiary::CreateInstance();
  diary = fromSettings;
  ApplyDiarySettings(*fromSettings);
  EXPECT_EQ(fromSettings->GetBackwardButtonPosition(), TPoint(10, 20));  // "goBack"
  EXPECT_EQ(fromSettings->GetConstantContentCursor(), TPoint(10, 20));
  EXPECT_EQ(fromSettings->GetForwardButtonPosition(), TPoint(30, 40));
  EXPECT_EQ(fromSettings->GetSitesPerSpread(), 0u);  // dch2 is missing
  EXPECT_NE(ReadLog().find("dch2 is missing"), std::string::npos);

  SetConfig("dch2", "210");
  ApplyDiarySettings(*fromSettings);
  ASSERT_EQ(fromSettings->GetSitesPerSpread(), 2u);
  for (int i = 0; i < 3; ++i) fromSettings->InsertContentAtSite(DiarySiteEnd, "", TRect(), 30, "", EndValues);
  EXPECT_EQ(fromSettings->GetInsertPageLayout(), TRect(500, 60, 800, 270));
}

TEST_F(DiaryTest, TheDemoSettingsGiveTwoPagesASpread) {
  ASSERT_TRUE(LoadSettingsFile(TString("::") + TARVELON_SOURCE_DIR + "/assets/settings.xml"));
  TDiary* demo = TDiary::CreateInstance();
  diary = demo;
  ApplyDiarySettings(*demo);
  EXPECT_EQ(demo->GetSitesPerSpread(), 2u);
  EXPECT_FALSE(demo->GetInsertPageLayout().IsEmpty());
}

TEST_F(DiaryTest, ATextShowsItsLabelsOneAfterAnother) {
  TStringTable table;
  table.Set("a", "Am Morgen ");
  table.Set("b", "fand ich ");
  table.Set("c", "den Schlüssel.");
  SetStringTable(&table);
  EXPECT_EQ(DiaryEntryText("a+b+c").ToStd(), "Am Morgen fand ich den Schlüssel.");
  EXPECT_EQ(DiaryEntryText("b").ToStd(), "fand ich ");
  // The measured text is the shown text.
  lines["Am Morgen fand ich den Schlüssel."] = 3;
  Text("a+b+c");
  EXPECT_EQ(diary->GetContent(0)->GetHeight(), 60);
  SetStringTable(nullptr);
}

}  // namespace
