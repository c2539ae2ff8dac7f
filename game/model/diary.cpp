#include "model/diary.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/log.h"
#include "platform/settings.h"
#include "platform/string_table.h"

namespace {

std::unique_ptr<TDiary> gInstance;

// Stands in until the start-up installs the real measure: every text is one line.
class TPlainDiaryMeasure : public IDiaryMeasure {
 public:
  int32_t GetTextHeight(const TString&, const TString&, int32_t fontSize, int32_t) override {
    return std::max(fontSize, 0);
  }
  bool GetImageSize(const TString&, int32_t&, int32_t&) override { return false; }
};

std::unique_ptr<IDiaryMeasure>& InstalledMeasure() {
  static std::unique_ptr<IDiaryMeasure> measure = std::make_unique<TPlainDiaryMeasure>();
  return measure;
}

int32_t ClampToInt32(int64_t value) {
  return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

void SetDiaryMeasure(std::unique_ptr<IDiaryMeasure> measure) {
  InstalledMeasure() = measure ? std::move(measure) : std::make_unique<TPlainDiaryMeasure>();
}

TString DiaryEntryText(const TString& id) {
  const TStringTable* table = GetStringTable();
  if (!table) return id;
  TString text;
  uint32_t start = 0;
  for (;;) {
    int plus = id.Find('+', 0, start);
    uint32_t end = plus < 0 ? id.Length() : uint32_t(plus);
    text += table->GetString(id.Substr(start, int32_t(end - start)));
    if (plus < 0) return text;
    start = end + 1;
  }
}

TDiary* TDiary::GetInstance() { return gInstance.get(); }

TDiary* TDiary::CreateInstance() {
  gInstance.reset();
  gInstance = std::make_unique<TDiary>();
  return gInstance.get();
}

void TDiary::DestroyInstance() { gInstance.reset(); }

void TDiary::AddPageLayout(int32_t x, int32_t y, int32_t width, int32_t height) {
  mPageLayouts.emplace_back(x, y, ClampToInt32(int64_t(x) + width), ClampToInt32(int64_t(y) + height));
}

const TRect& TDiary::LayoutOf(uint32_t site) const { return mPageLayouts[site % mPageLayouts.size()]; }

TRect TDiary::GetInsertPageLayout() const {
  return mPageLayouts.empty() ? TRect() : LayoutOf(mCurrentInsertSite);
}

const TDiaryEntry* TDiary::GetContent(uint32_t index) const {
  return index < mContent.size() ? &mContent[index] : nullptr;
}

const TDiaryEntry* TDiary::GetConstantContent(uint32_t index) const {
  return index < mConstantContent.size() ? &mConstantContent[index] : nullptr;
}

void TDiary::StartNewChapter() {
  mConstantContent.clear();
  uint32_t sites = GetSitesPerSpread();
  mChapterFirstSite = sites ? mCurrentInsertSite - mCurrentInsertSite % sites : mCurrentInsertSite;
}

void TDiary::TurnPageForward() {
  uint64_t per = GetSitesPerSpread();
  if (uint64_t(mCurrentWatchedSite) + per <= mCurrentInsertSite) mCurrentWatchedSite += uint32_t(per);
}

void TDiary::TurnPageBack() {
  uint32_t per = GetSitesPerSpread();
  if (mCurrentWatchedSite >= per) mCurrentWatchedSite -= per;
}

TDiaryEntry TDiary::MakeEntry(int32_t kind, const TString& id, const TRect& rect, int32_t size,
                              const TString& fontFile, const TDiaryValues& values) {
  TDiaryEntry entry;
  entry.words[2] = kind;
  entry.words[3] = rect.left;
  entry.words[4] = rect.top;
  entry.words[5] = rect.right;
  entry.words[6] = rect.bottom;
  entry.words[7] = size;
  std::copy(values.begin(), values.end(), entry.words.begin() + 8);
  entry.id = id;
  entry.fontFile = fontFile;
  return entry;
}

void TDiary::InsertContentAtSite(int32_t kind, const TString& id, const TRect& rect, int32_t size,
                                 const TString& fontFile, const TDiaryValues& values) {
  if (mPageLayouts.empty()) {
    LogPrintf("Diary: no page layouts; the entry \"%s\" is not added", id.c_str());
    return;
  }
  Lay(MakeEntry(kind, id, rect, size, fontFile, values), true);
}

void TDiary::AddConstantContent(int32_t kind, const TString& id, uint32_t interval, const TRect& rect,
                                int32_t size, const TString& fontFile, const TDiaryValues& values) {
  if (mPageLayouts.empty()) {
    LogPrintf("Diary: no page layouts; the constant entry \"%s\" is not added", id.c_str());
    return;
  }
  TDiaryEntry entry = MakeEntry(kind, id, rect, size, fontFile, values);
  ClampLastUsedY();
  MakeRoomFor(entry);
  TDiaryEntry constant = entry;
  // A page end stands on the site it has just ended.
  constant.words[0] = int32_t(mCurrentInsertSite - (kind == DiarySiteEnd ? 1 : 0));
  constant.words[1] = int32_t(interval);
  mConstantContent.push_back(constant);
  if (kind != DiarySiteEnd) Lay(entry, false);
}

void TDiary::ClampLastUsedY() { mLastUsedYOnSite = std::max(mLastUsedYOnSite, LayoutOf(mCurrentInsertSite).top); }

TDiary::TPlacement TDiary::Measure(const TDiaryEntry& entry) const {
  const TRect& layout = LayoutOf(mCurrentInsertSite);
  TPlacement place;
  place.x = int64_t(layout.left) + std::max(entry.words[11], 0);
  place.y = int64_t(mLastUsedYOnSite) + std::max(entry.words[12], 0);
  place.width = std::max<int64_t>(int64_t(layout.right) - place.x, 1);
  switch (entry.GetKind()) {
    case DiaryText:
      place.height = std::max(InstalledMeasure()->GetTextHeight(DiaryEntryText(entry.id), entry.fontFile,
                                                                entry.GetFontSize(), ClampToInt32(place.width)),
                              0);
      break;
    case DiaryImage: {
      int32_t width = 0, height = 0;
      if (InstalledMeasure()->GetImageSize(entry.id, width, height)) {
        place.width = std::max(width, 0);
        place.height = std::max(height, 0);
      } else {
        place.width = 0;
        place.missingImage = true;
      }
      break;
    }
    case DiarySiteEnd:
      place.fits = false;
      return place;
    default:
      break;
  }
  place.fits = place.y + place.height <= layout.bottom;
  return place;
}

void TDiary::MakeRoomFor(const TDiaryEntry& entry) {
  // Opening one site is all that can help: a site on which no ordinary entry stands has
  // no more room than the next one, so an entry too tall for it would open sites forever.
  if (entry.GetKind() == DiarySiteEnd || (!Measure(entry).fits && !mInsertSiteFresh)) OpenNextSite();
}

void TDiary::Lay(TDiaryEntry entry, bool ordinary) {
  ClampLastUsedY();
  if (entry.GetKind() == DiarySiteEnd) {
    // A page end stands on the site it ends; the next entry starts on the next site.
    entry.words[0] = entry.words[1] = int32_t(mCurrentInsertSite);
    mContent.push_back(entry);
    OpenNextSite();
    return;
  }
  entry.words[0] = int32_t(mCurrentInsertSite);
  MakeRoomFor(entry);
  Place(entry, ordinary);
}

void TDiary::Place(TDiaryEntry entry, bool ordinary) {
  TPlacement place = Measure(entry);
  int64_t boxHeight = place.height;
  if (place.missingImage) LogPrintf("Diary: the image \"%s\" does not load; it takes no room", entry.id.c_str());
  if (!place.fits) {
    LogPrintf("Diary: the entry \"%s\" is taller than the room on site %u; it stays there", entry.id.c_str(),
              mCurrentInsertSite);
    // A text box no taller than the room makes the text shrink to fit.
    if (entry.GetKind() == DiaryText)
      boxHeight = std::clamp<int64_t>(int64_t(LayoutOf(mCurrentInsertSite).bottom) - place.y, 0, place.height);
  }
  if (ordinary) mInsertSiteFresh = false;
  entry.words[1] = int32_t(mCurrentInsertSite);
  entry.words[9] = ClampToInt32(place.width);
  entry.words[10] = ClampToInt32(boxHeight);
  entry.words[11] = ClampToInt32(place.x);
  entry.words[12] = ClampToInt32(place.y);
  mContent.push_back(entry);
  mLastUsedYOnSite = ClampToInt32(place.y + boxHeight);
}

bool TDiary::IsDue(const TDiaryEntry& constant, uint32_t site) {
  int64_t interval = constant.GetInterval();
  int64_t distance = int64_t(site) - int64_t(constant.GetFirstSite());
  return interval > 0 && distance > 0 && distance % interval == 0;
}

void TDiary::OpenNextSite() {
  // A constant page end due on a new site ends it at once, but a site opened that way is
  // not ended again: with an interval of 1 every new site would end itself forever.
  for (int step = 0; step < 2; ++step) {
    ++mCurrentInsertSite;
    mLastUsedYOnSite = LayoutOf(mCurrentInsertSite).top;
    mInsertSiteFresh = true;
    const TDiaryEntry* siteEnd = nullptr;
    // Placing adds to the content only, so the constant list stays as it is meanwhile.
    for (const TDiaryEntry& constant : mConstantContent) {
      if (!IsDue(constant, mCurrentInsertSite)) continue;
      if (constant.GetKind() == DiarySiteEnd) {
        if (!siteEnd) siteEnd = &constant;
      } else {
        TDiaryEntry copy = constant;
        copy.words[0] = int32_t(mCurrentInsertSite);
        Place(copy, false);
      }
    }
    if (!siteEnd || step == 1) return;
    TDiaryEntry end = *siteEnd;
    end.words[0] = end.words[1] = int32_t(mCurrentInsertSite);
    mContent.push_back(end);
  }
}

void ApplyDiarySettings(TDiary& diary) {
  auto number = [](const char* key) { return GetConfig(key).ToInt(); };
  // The FW keys place the back button: the content's settings are laid out for this pairing.
  diary.SetBackwardButtonPosition(number("diaryFWBXcoord"), number("diaryFWBYcoord"));
  diary.SetForwardButtonPosition(number("diaryBWBXcoord"), number("diaryBWBYcoord"));

  const TString missing("FEHLER");
  auto setting = [&](const char* stem, size_t n) { return GetConfig(TString::Printf("%s%zu", stem, n), missing); };
  std::vector<int32_t> values[4];
  for (size_t n = 1;; ++n) {
    TString x = setting("dcx", n);
    if (x == missing) break;
    values[0].push_back(x.ToInt());
  }
  const char* stems[] = {"dcx", "dcy", "dcw", "dch"};
  for (int stem = 1; stem < 4; ++stem) {
    for (size_t n = 1; n <= values[0].size(); ++n) {
      TString value = setting(stems[stem], n);
      if (value == missing) {
        LogPrintf("Diary: the setting %s%zu is missing; the diary has no page layouts", stems[stem], n);
        return;
      }
      values[stem].push_back(value.ToInt());
    }
  }
  for (size_t n = 0; n < values[0].size(); ++n)
    diary.AddPageLayout(values[0][n], values[1][n], values[2][n], values[3][n]);
}
