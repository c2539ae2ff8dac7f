#include "windows/text_edit.h"

#include <algorithm>
#include <string>

#include "graphics/text/font_cache.h"
#include "persistence/jx_hiscores.h"
#include "windows/button.h"
#include "windows/message.h"
#include "windows/modal_window.h"
#include "windows/window_manager.h"
#include "windows/window_spider.h"
#include "windows/window_style.h"

namespace {

constexpr uint32_t BlinkPeriod = 800;
constexpr uint32_t BlinkOnAfter = 400;
constexpr uint32_t GroupAnimPeriod = 200;
constexpr int32_t DefaultMaxLength = 10;

// Depth first through a modal's subtree: the first other edit whose group does not hold
// the joining edit yet.
class TextSpider : public TWindowSpider {
 public:
  explicit TextSpider(TTextEdit* joining) : mJoining(joining) {}
  bool Process(TWindow* window) override {
    TTextEdit* edit = WindowCast<TTextEdit>(window);
    if (edit && edit != mJoining && edit->GetGroup()) {
      const TTextEdit::TGroup& group = *edit->GetGroup();
      if (std::find(group.begin(), group.end(), mJoining) == group.end()) {
        found = edit;
        return false;
      }
    }
    window->VisitChildren(*this);
    return found == nullptr;
  }
  TTextEdit* found = nullptr;

 private:
  TTextEdit* mJoining;
};

}  // namespace

uint32_t Utf8LengthAt(const TString& text, uint32_t offset) {
  if (offset >= text.Length()) return 0;
  int length = Utf8SequenceLength(text.c_str() + offset);
  uint32_t bytes = length < 1 ? 1u : uint32_t(length);
  return std::min(bytes, text.Length() - offset);
}

uint32_t Utf8CharacterCount(const TString& text) {
  uint32_t count = 0;
  for (uint32_t at = 0; at < text.Length(); at += Utf8LengthAt(text, at)) count++;
  return count;
}

TTextEdit::TTextEdit() : TText(false) {
  AddFlags(WindowTakesFocus);
  mCursorClock.Reset();
  mCursorClock.Start();
}

TTextEdit::~TTextEdit() {
  if (mGroup) mGroup->remove(this);
}

std::unique_ptr<TWindow> TTextEdit::Create() { return std::make_unique<TTextEdit>(); }

void TTextEdit::JoinGroup() {
  if (mGroup) return;
  TModalWindow* modal = GetModal();
  if (!modal) return;
  StartAnim(GroupAnimPeriod, true, true, false);
  TextSpider spider(this);
  modal->VisitChildren(spider);
  mGroup = spider.found ? spider.found->GetGroup() : std::make_shared<TGroup>();
  mGroup->push_back(this);
}

bool TTextEdit::OnActivate() {
  JoinGroup();
  return TText::OnActivate();
}

void TTextEdit::Init(TWindowStyle& style) {
  JoinGroup();
  bool password = style.GetBool("password", false);
  int32_t length = style.GetInt("length", DefaultMaxLength);
  TString ignore = style.GetString("ignore", TString());
  bool utf8 = style.GetBool("utf8", false);
  TWindowManager* manager = GetWindowManager();
  bool labelFlag = manager && manager->SetScriptFlag(false);
  if (password) SetPassword(true);
  TText::Init(style);
  if (manager) manager->SetScriptFlag(labelFlag);
  mMaxLength = uint32_t(std::max(length, 0));
  mIgnore = ignore;
  mUtf8 = utf8;
}

void TTextEdit::Draw() {
  JoinGroup();
  TText::Draw();
}

bool TTextEdit::Animate() {
  Refresh();
  return true;
}

void TTextEdit::SetPassword(bool on) {
  mPassword = on;
  Refresh();
}

void TTextEdit::SetText(const TString& text) {
  mBuffer = text;
  mCursor = mBuffer.Length();
  Refresh();
}

void TTextEdit::Refresh() {
  TString shown = mPassword ? TString(std::string(mBuffer.Length(), '*')) : mBuffer;
  TString display = shown;
  TWindowManager* manager = GetWindowManager();
  if (manager && manager->GetFocus() == this) {
    bool cursorOn = mCursorClock.GetTime() % BlinkPeriod > BlinkOnAfter;
    if (cursorOn) display = shown.Substr(0, int32_t(mCursor)) + (mActive ? "<cursor>" : "") + shown.Substr(mCursor);
    if (cursorOn != mCursorShown) {
      mCursorShown = cursorOn;
      manager->Invalidate();
    }
  }
  TText::SetText(display);
}

void TTextEdit::PostChanged() {
  if (TWindowManager* manager = GetWindowManager())
    manager->PostMessage(std::make_unique<TMessage>(MessageTextEditChanged, GetName()));
}

uint32_t TTextEdit::PreviousCharacter(uint32_t offset) const {
  uint32_t at = 0;
  for (uint32_t next = 0; next < offset && next < mBuffer.Length(); next += Utf8LengthAt(mBuffer, next)) at = next;
  return at;
}

uint32_t TTextEdit::CharacterLengthAt(uint32_t offset) const { return Utf8LengthAt(mBuffer, offset); }

bool TTextEdit::IsIgnored(const TString& character) const {
  return !character.IsEmpty() && !mIgnore.IsEmpty() && mIgnore.Find(character) >= 0;
}

bool TTextEdit::AllowAction(uint32_t action, uint32_t argument) {
  switch (action) {
    case EditInsert:
      if (mUtf8 || mBuffer.Length() + 1 < mMaxLength) return true;
      AllowAction(EditRefused, argument);
      return false;
    case EditMoveOrDelete:
    case EditPaste:
      return true;
    default:
      return false;
  }
}

bool TTextEdit::FilterEditAction(uint32_t action, uint32_t codePoint) {
  if (action != EditInsert) return AllowAction(action, codePoint);
  TTextGraphic* text = GetTextGraphic();
  std::shared_ptr<const TVecFont> font = TFontCache::GetFont(text ? text->GetFontName() : TString("fonts/default.mvec"));
  bool refused = (mUtf8 && Utf8CharacterCount(mBuffer) >= mMaxLength) || !font || font->FindGlyph(codePoint) < 0;
  if (refused) {
    AllowAction(EditRefused, codePoint);
    return false;
  }
  return AllowAction(action, codePoint);
}

void TTextEdit::MoveFocusToNext() {
  TWindowManager* manager = GetWindowManager();
  if (!manager || !mGroup) return;
  auto self = std::find(mGroup->begin(), mGroup->end(), this);
  if (self == mGroup->end()) return;
  auto it = self;
  for (size_t step = 0; step < mGroup->size(); step++) {
    if (++it == mGroup->end()) it = mGroup->begin();
    if (*it == this) return;
    if (IsWindowShown(*it)) {
      manager->SetFocus(*it);
      return;
    }
  }
}

bool TTextEdit::OnChar(uint8_t character) { return OnUnicodeChar(TString(reinterpret_cast<const char*>(&character), 1)); }

bool TTextEdit::OnUnicodeChar(TString utf8) {
  if (!mActive || utf8.IsEmpty()) return false;
  uint8_t first = uint8_t(utf8.CharAt(0));
  switch (first) {
    case 8:
      if (mCursor == 0) {
        AllowAction(EditRefused, first);
        return false;
      }
      if (!AllowAction(EditMoveOrDelete, first)) return false;
      {
        uint32_t start = PreviousCharacter(mCursor);
        mBuffer.Erase(start, int32_t(mCursor - start));
        mCursor = start;
      }
      Refresh();
      PostChanged();
      return true;
    case 9:
      if (FilterEditAction(EditTab, first)) {
        PostChanged();
        return true;
      }
      MoveFocusToNext();
      return false;
    case 13:
      if (!FilterEditAction(EditConfirm, first)) return false;
      PostChanged();
      return true;
    default:
      break;
  }
  if (first < 32) return false;
  if (first >= 128 && !mUtf8 && !mPassword) return false;
  if (IsIgnored(utf8)) {
    PostChanged();
    return true;
  }
  uint32_t codePoint = first < 128 ? first : Utf8Decode(utf8.c_str());
  if (!FilterEditAction(EditInsert, codePoint)) return false;
  mBuffer = mBuffer.Substr(0, int32_t(mCursor)) + utf8 + mBuffer.Substr(mCursor);
  mCursor += utf8.Length();
  Refresh();
  PostChanged();
  return true;
}

bool TTextEdit::Paste() {
  TWindowManager* manager = GetWindowManager();
  TString clipboard = manager ? manager->Host().GetClipboardString() : TString();
  if (clipboard.IsEmpty()) return false;
  if (!mUtf8 && !TJxHiscores::IsValidName(clipboard)) return false;
  TString pasted;
  uint32_t characters = 0;
  for (uint32_t at = 0; at < clipboard.Length() && characters < mMaxLength; characters++) {
    uint32_t length = Utf8LengthAt(clipboard, at);
    TString character = clipboard.Substr(at, int32_t(length));
    at += length;
    if (IsIgnored(character)) continue;
    // Control bytes never reach the buffer.
    for (uint32_t i = 0; i < character.Length(); i++)
      if (uint8_t(character.CharAt(i)) >= 32) pasted += character.CharAt(i);
  }
  SetText(TString());
  if (!pasted.IsEmpty()) {
    FilterEditAction(EditInsert, ' ');
    SetText(pasted);
  }
  return true;
}

bool TTextEdit::OnKeyDown(int32_t key, uint32_t modifiers) {
  JoinGroup();
  bool plain = (modifiers & (ModifierControl | ModifierAlt | ModifierExtended)) == 0;
  switch (key) {
    case EngineKeyLeft:
      if (mCursor == 0) {
        AllowAction(EditRefused, 0);
        return true;
      }
      if (AllowAction(EditMoveOrDelete, 0)) {
        mCursor = PreviousCharacter(mCursor);
        Refresh();
      }
      return plain;
    case EngineKeyRight:
      if (mCursor >= mBuffer.Length()) {
        AllowAction(EditRefused, 0);
        return true;
      }
      if (AllowAction(EditMoveOrDelete, 0)) {
        mCursor += CharacterLengthAt(mCursor);
        Refresh();
      }
      return plain;
    case EngineKeyDelete:
      if (mCursor < mBuffer.Length()) {
        mBuffer.Erase(mCursor, int32_t(CharacterLengthAt(mCursor)));
        Refresh();
      } else {
        AllowAction(EditRefused, 0);
      }
      return true;
    default:
      break;
  }
  if (((modifiers & ModifierControl) && key == 'V') || key == EngineKeyInsert) {
    if (FilterEditAction(EditPaste, 0)) Paste();
  }
  if (key >= '[') return false;
  return plain;
}
