#pragma once
// TDiary: the player's journal, a book of pages (sites) that the game scripts fill with
// texts, images and page ends as the story goes on. Entries flow: each starts at the last
// used y of the insert site and goes on to a new site when it does not fit in the rest of
// the site's page layout. Constant entries (headers, decorations) repeat on every n-th
// site as sites are opened. The diary window shows one spread of sites at a time (as many
// sites as there are page layouts) and turns it by whole spreads. Everything is saved per
// player under "Diary_" keys of the preferences database. One instance per selected
// player; main thread only.
//
// What the settings object calls:
//   selecting a player:  ApplyDiarySettings(*TDiary::CreateInstance());
//   loading the game:    TDiary::GetInstance()->LoadFromPrefs();   (replaces the content)
//   saving the game:     TDiary::GetInstance()->SaveToPrefs();     (commits the store)
//   shutdown:            TDiary::DestroyInstance();
//
// Text and image sizes come through the measure service below, installed by the game's
// start-up (the model draws nothing).

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/math/rect.h"
#include "platform/engine_string.h"
#include "platform/point.h"

class TPrefsDB;

enum TDiaryKind : int32_t {
  DiaryImage = 0,
  DiaryText = 1,
  DiarySiteEnd = 2,
};

// The six further values of an entry, words 8 to 13 below. Scenes pass
// {0, -1, -1, x, y, 1000} for texts and images and {0, -1, -1, -1, -1, 1000} for page ends.
using TDiaryValues = std::array<int32_t, 6>;

// One entry: fourteen signed words and two strings, saved as they stand.
//   word   ordinary entry                          constant entry
//   0      site on which it begins (the insert     first site on which it stands (the
//          site when it was added)                 insert site when added; one less for
//                                                  a page end)
//   1      site on which it was placed             interval in sites between appearances
//   2      kind (TDiaryKind)                       the same
//   3-6    the caller's rectangle, kept as given   the same
//   7      font size (30 for images, page ends)    the same
//   8      text alignment, as given                the same
//   9, 10  box width and height, fixed by the      as given (-1)
//          layout (an image: its size)
//   11, 12 given: x from the page layout's left    as given
//          and y below the last used y (negative
//          reads as 0); placed: the box's position
//   13     most lines of the text box, as given    the same
// A page end is not laid out: it keeps its given words 9 to 12.
struct TDiaryEntry {
  static constexpr int WordCount = 14;
  static constexpr int ByteSize = WordCount * 4;

  std::array<int32_t, WordCount> words{};
  TString id;  // a text's string-table labels joined by "+", or an image's name
  TString fontFile;

  int32_t GetKind() const { return words[2]; }
  uint32_t GetSite() const { return uint32_t(words[1]); }
  uint32_t GetBeginSite() const { return uint32_t(words[0]); }
  TRect GetRect() const { return TRect(words[3], words[4], words[5], words[6]); }
  int32_t GetFontSize() const { return words[7]; }
  int32_t GetAlignment() const { return words[8]; }
  int32_t GetWidth() const { return words[9]; }
  int32_t GetHeight() const { return words[10]; }
  TPoint GetPosition() const { return TPoint(words[11], words[12]); }
  int32_t GetMaxLines() const { return words[13]; }
  // Constant entries.
  uint32_t GetFirstSite() const { return uint32_t(words[0]); }
  int32_t GetInterval() const { return words[1]; }
};

// How the diary measures what it lays out. Without an installed one, a text measures one
// line of its font size and an image does not load.
class IDiaryMeasure {
 public:
  virtual ~IDiaryMeasure() = default;
  // Pixel height of the text laid out in a box `width' pixels wide (width >= 1).
  virtual int32_t GetTextHeight(const TString& text, const TString& fontFile, int32_t fontSize,
                                int32_t width) = 0;
  // Pixel size of the named image; false when it does not load.
  virtual bool GetImageSize(const TString& name, int32_t& width, int32_t& height) = 0;
};
// Installed by the game's start-up; null puts the stand-in back.
void SetDiaryMeasure(std::unique_ptr<IDiaryMeasure> measure);

// The text a text entry shows: the string-table texts of its labels ("+" between labels),
// one after the other with nothing between them.
TString DiaryEntryText(const TString& id);

class TDiary {
 public:
  // The font of page ends and repeated images, and of loaded entries without a font.
  static constexpr const char* DefaultFontFile = "fonts/default.mvec";

  static TDiary* GetInstance();
  // Deletes the current diary, then makes an empty one.
  static TDiary* CreateInstance();
  static void DestroyInstance();

  TDiary() = default;
  virtual ~TDiary() = default;
  TDiary(const TDiary&) = delete;
  TDiary& operator=(const TDiary&) = delete;

  // The area that may be written on, one per site of a spread, in spread order.
  void AddPageLayout(int32_t x, int32_t y, int32_t width, int32_t height);
  uint32_t GetSitesPerSpread() const { return uint32_t(mPageLayouts.size()); }
  // The layout of the insert site; an empty rectangle while there is none.
  TRect GetInsertPageLayout() const;

  // Where the diary window places "goForward" and "goBack".
  void SetForwardButtonPosition(int32_t x, int32_t y) { mForwardButton = TPoint(x, y); }
  void SetBackwardButtonPosition(int32_t x, int32_t y) { mBackwardButton = TPoint(x, y); }
  TPoint GetForwardButtonPosition() const { return mForwardButton; }
  TPoint GetBackwardButtonPosition() const { return mBackwardButton; }
  // The same points under the names the diary window uses.
  TPoint GetContentCursor() const { return mForwardButton; }
  TPoint GetConstantContentCursor() const { return mBackwardButton; }

  uint32_t GetCurrentInsertSite() const { return mCurrentInsertSite; }
  int32_t GetLastUsedYOnSite() const { return mLastUsedYOnSite; }
  uint32_t GetCurrentWatchedSite() const { return mCurrentWatchedSite; }

  // Ordinary entries in the order they were placed; null past the end.
  uint32_t GetNumberOfContent() const { return uint32_t(mContent.size()); }
  const TDiaryEntry* GetContent(uint32_t index) const;
  uint32_t GetNumberOfConstantContent() const { return uint32_t(mConstantContent.size()); }
  const TDiaryEntry* GetConstantContent(uint32_t index) const;

  // By whole spreads, never before the first nor past the spread of the insert site.
  void TurnPageForward();
  void TurnPageBack();
  // A new chapter: the constant entries stop repeating, and the chapter begins on the first
  // site of the insert site's spread (kept while the diary lives; not saved).
  void StartNewChapter();
  uint32_t GetChapterFirstSite() const { return mChapterFirstSite; }

  // Lays an entry out on the insert site, opening the next site (with the constant
  // entries due on it) when it does not fit; a page end ends the insert site. An entry
  // too tall for a site on which no ordinary entry stands yet stays there (a text's box
  // is cut to the rest of the site). Without page layouts nothing is added.
  void InsertContentAtSite(int32_t kind, const TString& id, const TRect& rect, int32_t size,
                           const TString& fontFile, const TDiaryValues& values);
  // Records a constant entry repeated every `interval' sites (0: never repeated) and
  // lays it out at once unless it is a page end; a page end ends the insert site first.
  void AddConstantContent(int32_t kind, const TString& id, uint32_t interval, const TRect& rect, int32_t size,
                          const TString& fontFile, const TDiaryValues& values);

  // The current player's values (through the model's preferences source; without a
  // database nothing happens). Saving commits the store; loading replaces every entry and
  // lays nothing out again.
  void SaveToPrefs();
  void LoadFromPrefs();
  void SaveValues(TPrefsDB& db, int user);
  void LoadValues(TPrefsDB& db, int user);

 private:
  // Where an entry goes on the insert site: its box and the height it needs there.
  struct TPlacement {
    int64_t x = 0, y = 0, width = 0, height = 0;
    bool fits = true;
    bool missingImage = false;
  };

  static TDiaryEntry MakeEntry(int32_t kind, const TString& id, const TRect& rect, int32_t size,
                               const TString& fontFile, const TDiaryValues& values);
  const TRect& LayoutOf(uint32_t site) const;
  void ClampLastUsedY();
  TPlacement Measure(const TDiaryEntry& entry) const;
  // Opens one site when the entry does not fit on the insert site; a page end always
  // opens one.
  void MakeRoomFor(const TDiaryEntry& entry);
  // Lays out an entry (ordinary, or a constant's copy) with its own values.
  void Lay(TDiaryEntry entry, bool ordinary);
  // Places an entry on the insert site whether or not it fits (word 0 is the caller's).
  void Place(TDiaryEntry entry, bool ordinary);
  void OpenNextSite();
  static bool IsDue(const TDiaryEntry& constant, uint32_t site);

  std::vector<TRect> mPageLayouts;
  uint32_t mCurrentInsertSite = 0;
  int32_t mLastUsedYOnSite = 0;
  uint32_t mCurrentWatchedSite = 0;
  uint32_t mChapterFirstSite = 0;
  // No ordinary entry stands on the insert site yet (not saved: after loading it is set
  // only for an empty diary).
  bool mInsertSiteFresh = true;
  std::vector<TDiaryEntry> mContent;
  std::vector<TDiaryEntry> mConstantContent;
  TPoint mForwardButton;
  TPoint mBackwardButton;
};

// Sets the button positions and page layouts from the settings: "diaryFWBXcoord" and
// "diaryFWBYcoord" place "goBack", "diaryBWBXcoord" and "diaryBWBYcoord" "goForward"; the
// layouts are dcxN, dcyN, dcwN, dchN for N = 1 up to the last dcx key, all or none (a
// missing one leaves the diary without layouts, with a log line).
void ApplyDiarySettings(TDiary& diary);
