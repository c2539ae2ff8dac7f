#include "menus/hiscore_window.h"

#include "menus/window_visibility.h"
#include "persistence/jx_hiscores.h"
#include "platform/settings.h"
#include "scenes/game_flow.h"
#include "windows/image_window.h"
#include "windows/message.h"
#include "windows/text_window.h"

namespace {

const char* const NamePattern = "name%d";
const char* const ScorePattern = "score%d";
const char* const RankPattern = "%d";
const char* const FlagPattern = "p1_%d";

constexpr int LargestNameSize = 20;
constexpr int BufferSize = 64;

// Lowers the font size from 19 until the laid-out name lies inside its window; size 1
// stays even when the name is still too wide. A name that fits keeps the size it has.
void FitName(TText& text) {
  TTextGraphic* graphic = text.GetTextGraphic();
  if (!graphic) return;
  for (int size = LargestNameSize; size > 1;) {
    TRect bounds = text.GetTextBounds();
    if (bounds.right < text.GetWidth() && bounds.top >= 0 && bounds.bottom <= text.GetHeight()) return;
    graphic->SetFontSize(--size);
  }
}

}  // namespace

THiscoreWindow::THiscoreWindow() {
  IGameFlow* flow = GetGameFlow();
  mStore = flow ? flow->GetHiscoreStore() : nullptr;
}

TWindow* THiscoreWindow::RowChild(const char* pattern, int row) { return FindChild(TString::Printf(pattern, row)); }

void THiscoreWindow::PostCreate(TWindowStyle& style) {
  TWindow::PostCreate(style);
  HideAll();
  Fill();
}

void THiscoreWindow::HideAll() {
  for (int row = 1; row <= RowCount; row++) {
    SetWindowShown(WindowCast<TText>(RowChild(NamePattern, row)), false);
    SetWindowShown(WindowCast<TText>(RowChild(ScorePattern, row)), false);
    SetWindowShown(WindowCast<TText>(RowChild(RankPattern, row)), false);
    SetWindowShown(WindowCast<TImage>(RowChild(FlagPattern, row)), false);
  }
  for (const char* name : {"topplayers", "scrollup", "scrolldown"}) SetWindowShown(FindChild(name), false);
}

void THiscoreWindow::Fill() {
  IGameFlow* flow = GetGameFlow();
  if (!mStore || !flow) return;
  int32_t mode = flow->GetCurrentGameMode();
  mStore->SetInfoString(2, flow->GetGameModeName(0));
  int count = mStore->GetScoreCount(true);
  bool local = IsEnabled("hiscorelocal");
  bool anonymous = IsEnabled("hiscoreanon");
  SetWindowShown(FindChild("topplayers"), local);
  SetWindowShown(FindChild("scrollup"), false);
  SetWindowShown(FindChild("scrolldown"), false);
  mFirstRow = 0;
  for (int i = 0; i < RowCount && mFirstRow + i < count; i++) {
    int rank = 0, score = 0;
    bool flag = false;
    char name[BufferSize] = {}, data[BufferSize] = {};
    if (!mStore->GetScore(true, mFirstRow + i, &rank, name, BufferSize, &flag, &score, data, BufferSize)) break;
    int row = i + 1;
    if (auto* text = WindowCast<TText>(RowChild(NamePattern, row))) {
      SetWindowShown(text, true);
      text->SetText(name);
      FitName(*text);
    }
    if (auto* text = WindowCast<TText>(RowChild(ScorePattern, row))) {
      text->SetText(TString::Printf("%d", score));
      SetWindowShown(text, true);
    }
    if (auto* text = WindowCast<TText>(RowChild(RankPattern, row))) {
      SetWindowShown(text, true);
      text->SetText(TString::Printf("%d.", rank));
    }
    if (auto* image = WindowCast<TImage>(RowChild(FlagPattern, row)))
      if (!flag && !local && !anonymous) SetWindowShown(image, true);
  }
  mStore->SetInfoString(2, flow->GetGameModeName(mode));
}

bool THiscoreWindow::OnMessage(TMessage& message) {
  if (message.GetType() != MessageButtonPress) return false;
  if (message.GetName() == "scrollup")
    mFirstRow -= RowCount;
  else if (message.GetName() == "scrolldown")
    mFirstRow += RowCount;
  else
    return false;
  HideAll();
  Fill();
  return false;
}
