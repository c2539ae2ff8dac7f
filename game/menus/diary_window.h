#pragma once
// TDiaryWindow: the window of the diary, created by its window script ("DiaryWindow"),
// which also builds its buttons: "goBack" and "goForward" turn the spread, "back" closes
// the diary through the script. The window shows the entries of the spread that the
// player's diary (TDiary) currently shows: a text box for each text, an image for each
// picture, placed where the diary laid them out. A button that cannot turn the spread any
// further waits out of sight.

#include <memory>
#include <vector>

#include "windows/window.h"

struct TDiaryEntry;

class TDiaryWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  TDiaryWindow() = default;
  // The content windows go with the window's children.
  ~TDiaryWindow() override = default;

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TDiaryWindow>(); }

  const char* GetClassName() const override { return "TDiaryWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // After the children: the current spread.
  void PostCreate(TWindowStyle& style) override;
  // "goBack" and "goForward" presses turn the spread (also when the diary cannot turn it:
  // the same spread is built again) and stop there; everything else goes on.
  bool OnMessage(TMessage& message) override;

  // The content windows leave, and both turning buttons go out of sight.
  void ClearPages();
  // The windows of the entries on the shown spread, and the turning buttons that can be
  // used there; "back" comes to the front.
  void ShowPages();

  // The content windows of the shown spread, in the diary's order (owned as children).
  const std::vector<TWindow*>& GetContentWindows() const { return mContent; }

 private:
  std::unique_ptr<TWindow> MakeTextWindow(const TDiaryEntry& entry) const;
  std::unique_ptr<TWindow> MakePictureWindow(const TDiaryEntry& entry) const;
  // Moves the named child to the point and to the front of its siblings.
  void PlaceButton(const char* name, TPoint point);

  std::vector<TWindow*> mContent;  // non-owning: each is a child of this window
};
