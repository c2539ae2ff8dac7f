#include "model/cutscene_script.h"

#include <climits>

#include "model/record_writer.h"

void CCutsceneScript::Serialize(std::string& out) const {
  CRecordWriter record("MakeCutsceneScript");
  for (const auto& entry : mItems) record.Nested(*entry.second);
  record.Finish(out);
}

void CCutsceneScript::AddItem(int32_t step, std::unique_ptr<CCutsceneScriptItem> item) {
  if (item) mItems[step] = std::move(item);
}

CCutsceneScriptItem* CCutsceneScript::GetCurrentItem() const {
  auto it = mItems.find(mCurrentStep);
  return it == mItems.end() ? nullptr : it->second.get();
}

bool CCutsceneScript::Advance() {
  if (mCurrentStep == INT_MAX || mItems.count(mCurrentStep + 1) == 0) return false;
  ++mCurrentStep;
  return true;
}
