#pragma once
// TSpriteWindow: a window that shows a list of game sprites (GeneralSprite) through one
// engine sprite tree, finds them by name or index, picks the one under a point by its
// pixels, and moves, turns, shows, hides and retextures them by name. Every scene screen,
// the sidebar and the mini-games keep their pictures in one.
//
// The list holds the records by value in the order they were added; their engine sprites
// hang under one root sprite, sorted by layer, so that within a layer a later record is
// drawn in front of an earlier one. Names are compared exactly; several records may share
// a name (the lookups below say which one they take).
//
// The window binds the script function "GetCurrentTextureMask" (one string result, the
// field of that name) to itself in the UI script; a later sprite window takes the name over.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/sprite_draw_params.h"
#include "platform/engine_string.h"
#include "platform/point.h"
#include "scenes/general_sprite.h"
#include "scenes/window_binding.h"
#include "windows/window.h"

class TSprite;

class TSpriteWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  TSpriteWindow();
  // Drops the records, then lets every engine sprite go from the root.
  ~TSpriteWindow() override;

  // The creator of the window type.
  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TSpriteWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // The sprite tree in the window's coordinates, in a 2D block of its own only when none
  // is open yet.
  void Draw() override;

  // ---- The list ----
  // Appends the record and hangs its engine sprite under the root.
  void AddSprite(GeneralSprite sprite);
  // Hangs the record's engine sprite under the root without listing it: one that is
  // still there stays where it is, one that was taken off comes back in front of its layer.
  void AttachSprite(GeneralSprite sprite);
  // The first record of the name leaves the list and its sprite the root; later records
  // of the same name stay.
  void RemoveSprite(const TString& name);
  // Takes the engine sprites of every record of the kind off the root; the records stay.
  void DetachSpritesOfKind(int32_t kind);
  int32_t GetSpriteCount() const { return int32_t(mSprites.size()); }
  // The record at the index. An index outside the list answers an empty record of the
  // window's own, with a log line, instead of failing: whatever is done to it is lost.
  GeneralSprite& GetSprite(int32_t index);
  // The index of the LAST record of the name; false (index untouched) when none.
  bool FindSprite(const TString& name, int32_t& index) const;

  // ---- By name ----
  // The last record's engine sprite translation in whole pixels; (-1, -1) when none.
  TPoint GetSpritePosition(const TString& name) const;
  // The setters change every record of the name.
  void SetSpritePosition(const TString& name, float x, float y);
  // Turns each one from its stored angle to the new one (degrees) about its pivot.
  void SetSpriteRotation(const TString& name, float degrees);
  void SetSpriteVisible(const TString& name, bool visible);
  void SetSpriteTexture(const TString& name, const TString& textureName);

  // ---- The tree and hit tests ----
  std::shared_ptr<TSprite> GetRootSprite() const { return mRoot; }
  // The root's draw record: the parent placement of the listed sprites in hit tests.
  const TSpriteDrawParams& GetRootTransform() const;
  // Hit tests pass over records whose engine sprite is not under the root (detached).
  // The pick rule: in list order, a record hit at alpha 5 that is clickable (or of kind
  // SpriteKindClickable) becomes the candidate; a non-clickable one hit at alpha 255 too
  // (an opaque pixel in front) cancels the candidate. So the last clickable sprite under
  // the point wins unless an opaque one lies in front of it. The index is written only on
  // a pick.
  bool GetSpriteAtPoint(TPoint point, int32_t& index);
  // The name of the FIRST clickable record hit at alpha 1; empty when none.
  TString GetClickableNameAtPoint(TPoint point);

  // What the script function "GetCurrentTextureMask" answers; nothing here sets it.
  const TString& GetCurrentTextureMask() const { return mCurrentTextureMask; }
  void SetCurrentTextureMask(const TString& mask) { mCurrentTextureMask = mask; }

 private:
  // Calls fn with every record of the name, in list order.
  template <typename Fn>
  void ForEachNamed(const TString& name, Fn fn);
  TString CurrentTextureMaskForScript() const { return mCurrentTextureMask; }

  std::vector<GeneralSprite> mSprites;
  std::shared_ptr<TSprite> mRoot;
  TString mCurrentTextureMask;
  GeneralSprite mNoSprite;  // what GetSprite answers outside the list
  TWindowBinding mBinding{this};
};
