#include "menus/diary_window.h"

#include <cstdint>

#include "graphics/texture.h"
#include "model/diary.h"
#include "scenes/textbox.h"
#include "windows/image_window.h"
#include "windows/message.h"
#include "windows/window_manager.h"

namespace {

// Where a turning button waits while it cannot be used.
constexpr int32_t OutOfSight = -3000;

}  // namespace

void TDiaryWindow::PostCreate(TWindowStyle& style) {
  TWindow::PostCreate(style);
  ClearPages();
  ShowPages();
}

void TDiaryWindow::ClearPages() {
  TWindowManager* manager = GetWindowManager();
  for (TWindow* window : mContent) {
    std::unique_ptr<TWindow> removed = RemoveChild(window);
    // A page turn comes from a button's message, but a content window may still be the
    // window an event is being handed to: the manager deletes it at the next event.
    if (manager && removed) manager->DestroyWindowLater(std::move(removed));
  }
  mContent.clear();
  for (const char* name : {"goBack", "goForward"})
    if (TWindow* button = FindChild(name)) button->SetPosition(OutOfSight, OutOfSight);
}

std::unique_ptr<TWindow> TDiaryWindow::MakeTextWindow(const TDiaryEntry& entry) const {
  auto box = std::make_unique<TTextbox>(false);
  // The diary keeps the colour's four channels in the entry's rectangle.
  TRect channels = entry.GetRect();
  TColor colour{float(channels.left), float(channels.top), float(channels.right), float(channels.bottom)};
  box->Setup(DiaryEntryText(entry.id), entry.GetWidth(), entry.GetHeight(), entry.GetAlignment(), entry.fontFile,
             entry.GetFontSize(), colour, entry.GetMaxLines());
  return box;
}

std::unique_ptr<TWindow> TDiaryWindow::MakePictureWindow(const TDiaryEntry& entry) const {
  std::shared_ptr<TTexture> texture = TTexture::Get(entry.id, 0);
  if (!texture) return nullptr;
  auto image = std::make_unique<TImage>(true);
  image->SetTexture(texture, 1.0f);
  image->SetSize(int32_t(texture->GetWidth()), int32_t(texture->GetHeight()));
  return image;
}

void TDiaryWindow::ShowPages() {
  TDiary* diary = TDiary::GetInstance();
  if (!diary) return;
  uint64_t first = diary->GetCurrentWatchedSite();
  uint64_t per = diary->GetSitesPerSpread();
  for (uint32_t i = 0; i < diary->GetNumberOfContent(); i++) {
    const TDiaryEntry* entry = diary->GetContent(i);
    if (!entry || entry->GetSite() < first || entry->GetSite() >= first + per) continue;
    std::unique_ptr<TWindow> window;
    if (entry->GetKind() == DiaryText) {
      window = MakeTextWindow(*entry);
    } else if (entry->GetKind() == DiaryImage) {
      window = MakePictureWindow(*entry);
    }
    if (!window) continue;
    window->SetPosition(entry->GetPosition().x, entry->GetPosition().y);
    TWindow* raw = window.get();
    if (AddChild(window, true)) mContent.push_back(raw);
  }
  // Without pages there is no spread to turn to.
  if (per > 0 && first >= per) PlaceButton("goBack", diary->GetConstantContentCursor());
  if (per > 0 && first + per <= diary->GetCurrentInsertSite()) PlaceButton("goForward", diary->GetContentCursor());
  if (TWindow* back = FindChild("back")) back->SetZOrderSimple(ZOrderFront);
}

void TDiaryWindow::PlaceButton(const char* name, TPoint point) {
  TWindow* button = FindChild(name);
  if (!button) return;
  button->SetPosition(point.x, point.y);
  button->SetZOrderSimple(ZOrderFront);
}

bool TDiaryWindow::OnMessage(TMessage& message) {
  if (message.GetType() != MessageButtonPress) return false;
  TDiary* diary = TDiary::GetInstance();
  if (message.GetName() == "goBack") {
    ClearPages();
    if (diary) diary->TurnPageBack();
  } else if (message.GetName() == "goForward") {
    ClearPages();
    if (diary) diary->TurnPageForward();
  } else {
    return false;
  }
  ShowPages();
  return true;
}
