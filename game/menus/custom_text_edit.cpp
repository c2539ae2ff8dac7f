#include "menus/custom_text_edit.h"

#include "menus/window_visibility.h"
#include "sound/sound.h"
#include "windows/modal_window.h"
#include "windows/window_manager.h"
#include "windows/window_style.h"

namespace {

constexpr uint32_t Backspace = 8;

}  // namespace

TString TCustomTextEdit::TypingSoundName(int number) {
  return TString::Printf("audio/sfx/sfx_typing_%02d.ogg?group=1000", number);
}

TCustomTextEdit::TCustomTextEdit() {
  for (int number = 1; number <= TypingSoundCount; number++) mTypingSounds.AddAsset(TypingSoundName(number));
}

void TCustomTextEdit::Init(TWindowStyle& style) {
  mCleared = !style.GetBool("clearinitial", false);
  mEnableWindow = style.GetString("enablewindow", TString());
  TTextEdit::Init(style);
}

void TCustomTextEdit::ClearOnce() {
  if (mCleared) return;
  mCleared = true;
  SetText(TString());
}

bool TCustomTextEdit::OnMouseUp(TPoint point) {
  if (!mCleared) {
    ClearOnce();
    return true;
  }
  return TText::OnMouseUp(point);
}

bool TCustomTextEdit::FilterEditAction(uint32_t action, uint32_t codePoint) {
  ClearOnce();
  return TTextEdit::FilterEditAction(action, codePoint);
}

bool TCustomTextEdit::AllowAction(uint32_t action, uint32_t argument) {
  ClearOnce();
  if (!TTextEdit::AllowAction(action, argument)) return false;
  if (action == EditInsert) {
    int number = 1 + int(mRandom.GenRandDouble() * TypingSoundCount);
    if (std::shared_ptr<TSound> sound = mTypingSounds.GetSound(TypingSoundName(number))) sound->Play(false);
    UpdateEnableWindow(+1);
  } else if (action == EditMoveOrDelete && argument == Backspace) {
    UpdateEnableWindow(-1);
  }
  return true;
}

void TCustomTextEdit::UpdateEnableWindow(int delta) {
  TModalWindow* modal = GetModal();
  TWindow* target = modal && !mEnableWindow.IsEmpty() ? modal->FindChild(mEnableWindow) : nullptr;
  // Counted in characters, as a backspace takes one away whatever its bytes.
  if (target) SetWindowShown(target, int64_t(Utf8CharacterCount(GetText())) + delta > 0);
  if (TWindowManager* windows = GetWindowManager()) windows->Invalidate();
}
