#pragma once
// THiscoreWindow: the window of the highscore table, created by its window script
// ("HiscoreWindow"), which builds ten table rows and the scroll buttons. The window fills
// the rows from the current game mode's table of the highscore store: for row r (1 to 10)
// the texts "name<r>", "score<r>" and "<r>" (the rank, "3.") and the flag image "p1_<r>",
// shown on rows the store flags when neither "hiscorelocal" nor "hiscoreanon" is on. A
// name too wide for its text is drawn at the largest font size below 20 that fits. The
// caption "topplayers" follows "hiscorelocal"; "scrollup" and "scrolldown" stay hidden.

#include <memory>

#include "windows/window.h"

class TJxHiscores;

class THiscoreWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  THiscoreWindow();

  static std::unique_ptr<TWindow> Create() { return std::make_unique<THiscoreWindow>(); }

  const char* GetClassName() const override { return "THiscoreWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // After the children: hides every row, then fills the table.
  void PostCreate(TWindowStyle& style) override;
  // A press of "scrollup" or "scrolldown" fills the table again; every message goes on to
  // the parents and the script.
  bool OnMessage(TMessage& message) override;

  // Hides the forty row windows, the caption and the scroll buttons.
  void HideAll();
  // Shows the table's first ten rows. The table is the one of game mode 0; the store is
  // left on the current mode's table afterwards.
  void Fill();

  static constexpr int RowCount = 10;
  int32_t GetFirstRow() const { return mFirstRow; }

 private:
  // The row windows are looked up by name whenever they are used, so that one the script
  // takes away is never touched afterwards.
  TWindow* RowChild(const char* pattern, int row);

  TJxHiscores* mStore;  // the settings object's, not owned; null without one
  int32_t mFirstRow = 0;
};
