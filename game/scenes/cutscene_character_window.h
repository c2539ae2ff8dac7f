#pragma once
// TCutsceneCharacterWindow: the full-screen layer of a cutscene on which the character
// pictures (left 1, right 2) and the letter picture (3) stand: at most one sprite per stage
// position, all under one root sprite, drawn in the window's coordinates. It decides nothing
// itself: the cutscene window builds, places and tints the sprites and hands them over.
//
// It takes a click only while the global "showBriefingWindow" is set; otherwise the click
// goes on to the cutscene window below, which advances the script.
//
// Invariant: every stored sprite is a child of the root sprite, and the root has no others.
// Main thread only.

#include <cstdint>
#include <map>
#include <memory>

#include "windows/window.h"

class TSprite;

class TCutsceneCharacterWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  TCutsceneCharacterWindow();
  // Lets every sprite go from the root.
  ~TCutsceneCharacterWindow() override;

  // Not registered by name; the cutscene window makes its one "charWindow" with it.
  static std::unique_ptr<TWindow> Create();
  // The window as a character window, or null (also for null).
  static TCutsceneCharacterWindow* FromWindow(TWindow* window) { return WindowCast<TCutsceneCharacterWindow>(window); }

  const char* GetClassName() const override { return "TCutsceneCharacterWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  void Draw() override;
  bool OnMouseDown(TPoint point) override;

  // The sprite replaces the one stored for the position (a null sprite only removes it).
  void SetSprite(int32_t position, const std::shared_ptr<TSprite>& sprite);
  bool HasSprite(int32_t position) const { return mSprites.count(position) != 0; }
  // The stored sprite, or null.
  std::shared_ptr<TSprite> GetSprite(int32_t position) const;
  const std::shared_ptr<TSprite>& GetRootSprite() const { return mRoot; }

 private:
  std::map<int32_t, std::shared_ptr<TSprite>> mSprites;
  std::shared_ptr<TSprite> mRoot;
};
