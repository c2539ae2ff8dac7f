#pragma once
// TSidebarWindow: the in-game panel over the left of every adventure, placing-object and
// hidden-object screen: a background by screen type ("interfaceImage"), five buttons drawn
// as sprites in the sprite window "animationWindow" with a text label each (hint
// "hintTimer", help "sidebarbriefing", menu "sidebarmenu", diary "sidebardiary", light
// "sidebarlight"), and either the hidden-object item list (sidebar_item_list.cpp) or the
// inventory strip in the inventory window "itemsWindow" (sidebar_inventory.cpp).
//
// It observes one model object: the hidden-object game (type 2), the game's inventory
// (adventure, type 1) or the placing-object scene's own inventory (type 0), and rebuilds its
// list when that notifies. The hint button refills over the play time since the last hint,
// glows once when ready, and a click on a ready button gives a hint fitted to the screen
// (sidebar_hint.cpp). Buttons glow while the pointer is over them.
//
// The Lua functions "SetHintButtonVisible", "SetDiaryButtonVisible" and
// "SetLightButtonVisible" are bound to the newest sidebar and made harmless when it goes.
// The glows the sidebar starts run on its own clock and end with it. Main thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "model/observed_subject.h"
#include "platform/clock.h"
#include "platform/engine_string.h"
#include "scenes/window_binding.h"
#include "scenes/window_glows.h"
#include "windows/window.h"

class CAdventureScreen;
class CGame;
class CHiddenObjectGame;
class CInventory;
class CScene;
class TScene;
class TSound;
class TSprite;
class TSpriteWindow;
class TText;
class TTextbox;

enum TSidebarScreenType : int32_t {
  SidebarPlacingObject = 0,
  SidebarAdventure = 1,
  SidebarHiddenObject = 2,
};

class TSidebarWindow : public TWindow, public CObserver {
 public:
  TARVELON_CLASS_ID()
  // Builds the background, the buttons and the list of the screen type, attaches to the
  // observed model and binds the Lua functions. The current scene of another kind than the
  // type expects gives a sidebar without a list (and a log line).
  explicit TSidebarWindow(int32_t screenType);
  // Detaches from the observed model while the game that owns it still stands.
  ~TSidebarWindow() override;

  // The creator of the window type: a hidden-object sidebar.
  static std::unique_ptr<TWindow> Create();
  // The sidebar of a screen: "sidebarWindow" over the whole screen, added to it and started,
  // with the buttons the scene's model does not show hidden. Null when the screen refused it.
  static TSidebarWindow* AddTo(TWindow& screen, int32_t screenType, TWindowStyle& style, const CScene& model);

  const char* GetClassName() const override { return "TSidebarWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // Reads no style; starts the frame step (every 25 ms, no catch-up).
  void Init(TWindowStyle& style) override;
  // The hint refill and glows, the sundial, the hint frame, the diary's glow request.
  bool Animate() override;
  bool OnMouseDown(TPoint point) override;
  bool OnMouseMove(TPoint point) override;
  // The modal goes with the clock the glows run on.
  void OnModalPopped() override { mGlows.ReleaseAll(); }
  // The observed model changed: the item list or the inventory strip follows.
  void Notify(CObservedSubject* subject) override;

  // Shows or hides a button; showing one lets it glow for a moment (the light until the
  // pointer leaves it). The labels stay.
  void SetHintButtonVisible(bool visible);
  void SetDiaryButtonVisible(bool visible);
  void SetLightButtonVisible(bool visible);

  // The window named "scene" under the top modal, when it is a scene window.
  static TScene* FindSceneWindow();

  // The inventory strip (sidebar_inventory.cpp).
  void BuildInventory();
  // The item list (sidebar_item_list.cpp): made once, then brought up to date, struck out
  // and completed.
  void CreateItemList();
  void BuildItemList();

  // ---- State the screens and tests read ----
  int32_t GetScreenType() const { return mScreenType; }
  TSpriteWindow* GetSpriteWindow() const { return mSpriteWindow; }
  int32_t GetLastRefillLevel() const { return mLastRefillLevel; }
  bool IsHintGlowClockRunning() const { return !mHintGlowClock.IsPaused(); }
  // The entries still to strike out, by key.
  const std::map<TString, TTextbox*>& GetItemEntries() const { return mItemEntries; }
  size_t GetStrikeOutCount() const { return mStrikeOutTexts.size(); }
  bool IsItemListCompleted() const { return mItemListCompleted; }

  // The hint's refill over a play time in seconds: the level, whether the hint is ready,
  // and the level clamped to the refill time.
  struct TRefill {
    uint32_t level = 0;
    bool ready = false;
    uint32_t clamped = 0;
  };
  static TRefill RefillAt(uint32_t playTime);
  // The asset of the hint button's picture at a clamped level: the game's hint sprite name
  // and the frame as two digits. A refill time of 0 shows the last frame (logged once).
  TString HintFrameAsset(uint32_t clampedLevel);

 private:
  // ---- sidebar_window.cpp ----
  void AddButtons();
  void AddList();
  // The engine sprite of the button sprite of that name, or null.
  std::shared_ptr<TSprite> ButtonSprite(const char* name) const;
  // Shows or hides a button; showing starts a glow and the clock that times it.
  void ShowButton(const char* name, bool visible, TClock* glowClock);
  void RunModal(const char* script);
  // ---- sidebar_hint.cpp ----
  void StepHint();
  void StepSundial();
  bool IsHintReadyForClick() const;
  // A click on the hint button; answers whether it is consumed.
  bool ClickHint();
  void PlayHintSound();
  void ShowPlacingObjectHint();
  // ---- sidebar_item_list.cpp ----
  // Places an entry of the list (columns of three).
  void PlaceEntry(TTextbox& entry, int32_t& column, int32_t& row, int32_t& count);
  void AddEntry(const TString& key, const TString& text, int32_t& column, int32_t& row, int32_t& count);
  void StrikeOut(TTextbox& entry);
  void CompleteItemList();
  // ---- sidebar_inventory.cpp ----
  // The inventory the strip shows (a copy), finishing a placing-object scene without items.
  CInventory InventoryToShow();

  int32_t mScreenType;
  CGame* mGame = nullptr;  // the game that owns the observed model; not owned
  CHiddenObjectGame* mHiddenObjectModel = nullptr;  // type 2; not owned
  CAdventureScreen* mAdventureModel = nullptr;      // types 0 and 1; not owned
  CObservedSubject* mObserved = nullptr;            // what the sidebar attached to; not owned
  std::map<TString, TTextbox*> mItemEntries;        // children of this window
  std::vector<TText*> mStrikeOutTexts;              // children of this window
  bool mItemListCompleted = false;
  std::shared_ptr<TSound> mHintSound;
  TSpriteWindow* mSpriteWindow = nullptr;  // a child of this window
  TClock mDiaryGlowClock;
  TClock mHintGlowClock;
  TClock mLightGlowClock;
  int32_t mLastRefillLevel = -1;
  bool mZeroRefillReported = false;
  bool mItemListSpacingReported = false;
  TWindowGlows mGlows{this};
  TWindowBinding mBinding{this};
};
