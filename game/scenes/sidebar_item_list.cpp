// TSidebarWindow: the item list of a hidden-object scene. One entry per group (its found
// count against the count it needs) and one per ungrouped object of the to-find list, in
// columns of three; an entry whose objects are found is struck out and greyed. When no
// entry is left the scene is won, once: the task counts, the scene's item is given with
// the pick-up window, and the scene finishes.

#include <algorithm>
#include <map>

#include "model/game.h"
#include "model/global_information_system.h"
#include "model/hidden_object_game.h"
#include "model/highscore_system.h"
#include "platform/log.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/sidebar_window.h"
#include "scenes/textbox.h"
#include "windows/text_window.h"
#include "windows/window_manager.h"

namespace {

const char* const EntryFont = "fonts/communist.mvec";
constexpr int32_t EntryFontSize = 30;
constexpr int32_t EntryAlignment = 5;
const TColor EntryColour{0, 0, 0, 1};
const TColor FoundColour{30.0f / 255, 30.0f / 255, 30.0f / 255, 1};
// A strike-out line never grows past this many blanks.
constexpr size_t MaxStrikeOutBlanks = 400;

struct TGroupCount {
  TString name;
  int32_t found = 0;
  int32_t needed = 0;
};

// The groups of the model by id, with their found counts against the display list.
std::map<int32_t, TGroupCount> CountGroups(const CHiddenObjectGame& model, const std::vector<TString>& display) {
  std::map<int32_t, TGroupCount> groups;
  for (int32_t group = 1; model.CountObjectsInGroup(group) > 0; ++group) {
    int32_t left = int32_t(std::count_if(display.begin(), display.end(), [&](const TString& id) {
      return model.GetGroupIdOfObject(id) == group;
    }));
    groups[group] = {model.GetGroupNameOfGroupId(group), model.CountObjectsInGroup(group) - left,
                     model.GetNeededCountOfGroup(group)};
  }
  return groups;
}

TString GroupText(const TGroupCount& group) {
  return scene::Text(group.name) + TString::Printf(" %d/%d", group.found, group.needed);
}

}  // namespace

void TSidebarWindow::PlaceEntry(TTextbox& entry, int32_t& column, int32_t& row, int32_t& count) {
  ++count;
  entry.SetPosition(scene::AddSaturated(scene::ConfigInt("itemlistPosX"), column),
                    scene::AddSaturated(scene::ConfigInt("itemlistPosY"), row));
  int32_t offset = scene::ConfigInt("itemlistPosOffset");
  int32_t columnStep = scene::AddSaturated(scene::ConfigInt("itemlistWidth"), offset);
  if (count % 3 == 0) column = scene::AddSaturated(column, columnStep);
  int32_t rowStep = scene::AddSaturated(scene::ConfigInt("itemlistHeight"), offset);
  row = scene::AddSaturated(row, rowStep);
  int64_t columnHeight = int64_t(rowStep) * 3;
  if (columnHeight == 0) {
    // Every entry of a column stands on the same row.
    if (!mItemListSpacingReported)
      LogPrintf("TSidebarWindow: \"itemlistHeight\" and \"itemlistPosOffset\" add up to 0; the entries overlap");
    mItemListSpacingReported = true;
    row = 0;
  } else if (row % columnHeight == 0) {
    row = 0;
  }
}

void TSidebarWindow::AddEntry(const TString& key, const TString& text, int32_t& column, int32_t& row, int32_t& count) {
  auto entry = std::make_unique<TTextbox>(false);
  entry->SetName(key);
  entry->Setup(text, scene::ConfigInt("itemlistWidth"), scene::ConfigInt("itemlistHeight"), EntryAlignment, EntryFont,
               EntryFontSize, EntryColour, 1);
  PlaceEntry(*entry, column, row, count);
  if (TTextbox* added = scene::AttachChild(*this, std::move(entry))) mItemEntries[key] = added;
}

void TSidebarWindow::CreateItemList() {
  if (!mHiddenObjectModel) return;
  const CHiddenObjectGame& model = *mHiddenObjectModel;
  std::vector<TString> listed = mHiddenObjectModel->GetItemList();
  int32_t column = 0, row = 0, count = 0;
  for (int32_t group = 1;; ++group) {
    bool listedInGroup = std::any_of(listed.begin(), listed.end(),
                                     [&](const TString& id) { return model.GetGroupIdOfObject(id) == group; });
    if (!listedInGroup) break;
    TGroupCount counts{model.GetGroupNameOfGroupId(group), 0, model.GetNeededCountOfGroup(group)};
    AddEntry(counts.name, GroupText(counts), column, row, count);
  }
  for (const TString& id : listed) {
    if (model.GetGroupIdOfObject(id) != 0) continue;
    const TString* label = model.GetObjectNameById(id);
    AddEntry(id, label ? scene::Text(*label) : TString(), column, row, count);
  }
}

void TSidebarWindow::BuildItemList() {
  if (!mHiddenObjectModel) return;
  const CHiddenObjectGame& model = *mHiddenObjectModel;
  std::vector<TString> display = mHiddenObjectModel->GetItemsToFindList();
  std::map<int32_t, TGroupCount> groups = CountGroups(model, display);
  for (const auto& [id, group] : groups) {
    auto entry = mItemEntries.find(group.name);
    if (entry != mItemEntries.end()) entry->second->SetText(GroupText(group));
  }

  std::vector<TString> struck;
  for (const auto& [key, entry] : mItemEntries) {
    bool stays = std::any_of(display.begin(), display.end(), [&](const TString& id) {
      if (id == key) return true;
      auto group = groups.find(model.GetGroupIdOfObject(id));
      return group != groups.end() && group->second.name == key && group->second.found < group->second.needed;
    });
    if (stays) continue;
    StrikeOut(*entry);
    struck.push_back(key);
  }
  for (const TString& key : struck) mItemEntries.erase(key);

  // Later notifications (a found object's flight ending hides it) find the list empty
  // again: the scene is won once.
  if (mItemEntries.empty() && !mItemListCompleted) {
    mItemListCompleted = true;
    CompleteItemList();
  }
}

void TSidebarWindow::StrikeOut(TTextbox& entry) {
  TRect text;
  entry.MeasureText(text);
  int32_t width = scene::AddSaturated(scene::ConfigInt("itemlistWidth"), 10);
  int32_t height = scene::AddSaturated(scene::ConfigInt("itemlistHeight"), 10);
  auto line = std::make_unique<TText>(false);
  line->SetName("strikeOut");
  std::string blanks = " ";
  std::string fitting = blanks;
  while (blanks.size() <= MaxStrikeOutBlanks) {
    TString run = TString("<u>") + blanks.c_str() + "</u>";
    line->LayoutText(run, width, height, 1, EntryFont, entry.GetFontSize(), FoundColour);
    if (line->GetLineCount() > 1) break;
    fitting = blanks;
    if (line->GetTextBounds().Width() >= text.Width() + 6) break;
    blanks += ' ';
  }
  line->LayoutText(TString("<u>") + fitting.c_str() + "</u>", width, height, 1, EntryFont, entry.GetFontSize(),
                   FoundColour);
  line->SetPosition(entry.GetLeft() - 5, entry.GetTop() + text.top + 2 - text.Height() / 2);
  if (TText* added = scene::AttachChild(*this, std::move(line))) mStrikeOutTexts.push_back(added);
  entry.SetColor(FoundColour);
}

void TSidebarWindow::CompleteItemList() {
  HighscoreSystem::Call(&CHighscoreSystem::HOTaskComplete);
  TScene* scene = FindSceneWindow();
  TString won = mHiddenObjectModel->GetPickedUpInventoryItemOnWon();
  if (won.IsEmpty()) {
    if (scene) scene->FinishScene();
    return;
  }
  HighscoreSystem::Call(&CHighscoreSystem::FoundInventoryItem);
  CGame* game = CGame::GetInstance();
  const CInventoryItem* item = game ? game->GetInventoryItem(won) : nullptr;
  if (item) {
    if (CGlobalInformationSystem* globals = CGlobalInformationSystem::GetInstance()) {
      globals->SetGlobalString("description", item->GetDescription());
      globals->SetGlobalString("pickupImage", item->GetPickUpImage());
    }
    game->GetInventory().AddItem(won);
  }
  if (scene) scene->FinishScene();
  if (!item) return;
  if (TWindowManager* windows = GetWindowManager()) windows->DoLuaString(this, "DoModal('scripts/pickupwindow.lua')");
}
