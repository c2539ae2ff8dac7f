#pragma once
// TTextEdit: the one-line text entry (player names and the like). A text window whose shown
// text is made from an edit buffer: a blinking "<cursor>" tag at the cursor while the edit
// has the focus, one "*" per byte in password mode. It takes 8-bit or UTF-8 input, keeps to
// its length, drops the characters of its ignore set and those its font cannot draw, pastes
// the clipboard, and passes the focus on to the next edit of its modal with Tab. Every
// change posts a "text edit changed" message named after the edit. Registered as
// "TextEdit"; the game may register a subclass of its own under that name.

#include <cstdint>
#include <list>
#include <memory>

#include "platform/clock.h"
#include "windows/text_window.h"

class TTextEdit : public TText {
 public:
  TARVELON_CLASS_ID()

  // What AllowAction and FilterEditAction are asked about.
  enum TEditAction : uint32_t {
    EditInsert = 0,
    EditMoveOrDelete = 1,
    EditConfirm = 2,   // Enter
    EditTab = 3,
    EditPaste = 4,
    EditRefused = 5,   // a notice: the edit refused a key
  };
  using TGroup = std::list<TTextEdit*>;

  TTextEdit();
  // Leaves its group.
  ~TTextEdit() override;

  // The creator registered as "TextEdit".
  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TTextEdit"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TText::IsKindOf(id); }
  bool OnActivate() override;
  // "password", "length" (10), "ignore", "utf8"; the "label" is the first content, taken
  // as it stands (never a string-table key).
  void Init(TWindowStyle& style) override;
  void Draw() override;
  // The cursor's blink; runs every 200 ms while the edit is in a group.
  bool Animate() override;
  bool OnChar(uint8_t character) override;
  bool OnUnicodeChar(TString utf8) override;
  bool OnKeyDown(int32_t key, uint32_t modifiers) override;
  // Replaces the buffer; the cursor goes to its end.
  void SetText(const TString& text) override;
  TString GetText() const override { return mBuffer; }

  // Inserts only while the buffer has room (always in UTF-8 mode, where the filter
  // counts); moves, deletions and pastes are allowed; the rest is refused. Subclasses
  // react to confirm, Tab and refusals here.
  virtual bool AllowAction(uint32_t action, uint32_t argument);
  // An insert must fit the length in characters (UTF-8 mode) and have a glyph in the
  // font; then AllowAction decides.
  virtual bool FilterEditAction(uint32_t action, uint32_t codePoint);

  void SetPassword(bool on);
  void SetUtf8(bool on) { mUtf8 = on; }
  void SetIgnore(const TString& characters) { mIgnore = characters; }
  // An inactive edit ignores typing and shows no cursor.
  void SetActive(bool on) { mActive = on; }
  uint32_t GetCursor() const { return mCursor; }
  uint32_t GetMaxLength() const { return mMaxLength; }
  const std::shared_ptr<TGroup>& GetGroup() const { return mGroup; }

 private:
  void JoinGroup();
  void Refresh();
  void PostChanged();
  void MoveFocusToNext();
  bool Paste();
  bool IsIgnored(const TString& character) const;
  // The byte offset where the character before `offset' starts.
  uint32_t PreviousCharacter(uint32_t offset) const;
  uint32_t CharacterLengthAt(uint32_t offset) const;

  uint32_t mMaxLength = 10;
  std::shared_ptr<TGroup> mGroup;
  TString mBuffer;
  uint32_t mCursor = 0;  // a byte offset into the buffer
  bool mActive = true;
  bool mUtf8 = false;
  bool mPassword = false;
  bool mCursorShown = false;
  TString mIgnore;
  TClock mCursorClock;
};

// Bytes of the UTF-8 sequence at offset of text, at least 1 and never past its end.
uint32_t Utf8LengthAt(const TString& text, uint32_t offset);
// The number of UTF-8 sequences in text.
uint32_t Utf8CharacterCount(const TString& text);
