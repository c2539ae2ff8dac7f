#pragma once
// TCustomTextEdit: the text entry of the menus (a new player's name, for instance),
// registered as "TextEdit" in place of the engine's own. Every character typed plays one of
// four typing sounds at random; with the style key "clearinitial" the preset text goes at
// the first click or key; the window that "enablewindow" names (an OK button, say) is shown
// only while the entry holds text.

#include <memory>

#include "graphics/sprites/asset_map.h"
#include "platform/random.h"
#include "windows/text_edit.h"

class TCustomTextEdit : public TTextEdit {
 public:
  TARVELON_CLASS_ID()
  // Loads the four typing sounds.
  TCustomTextEdit();

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TCustomTextEdit>(); }

  const char* GetClassName() const override { return "TCustomTextEdit"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TTextEdit::IsKindOf(id); }
  // "clearinitial" (false) and "enablewindow" (""), then the edit's own keys.
  void Init(TWindowStyle& style) override;
  // The first click only clears the preset text.
  bool OnMouseUp(TPoint point) override;
  // Clears the preset text at the first action; a character allowed plays a typing sound
  // and shows the enable window, a backspace that empties the entry hides it.
  bool AllowAction(uint32_t action, uint32_t argument) override;
  // The preset text goes before the edit weighs a character against its length, so that
  // the first character typed stands alone however long the preset text was.
  bool FilterEditAction(uint32_t action, uint32_t codePoint) override;

  // The typing sounds, "audio/sfx/sfx_typing_01.ogg?group=1000" to "..._04...".
  static constexpr int TypingSoundCount = 4;
  static TString TypingSoundName(int number);

 private:
  void ClearOnce();
  // Shows the enable window while the text, changed by `delta' characters, is not empty.
  void UpdateEnableWindow(int delta);

  TAssetMap mTypingSounds;
  TRandom mRandom;
  bool mCleared = true;
  TString mEnableWindow;
};
