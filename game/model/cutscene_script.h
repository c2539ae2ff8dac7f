#pragma once
// CCutsceneScript: the numbered steps of a cutscene and the step being shown. Steps run 1,
// 2, 3 ...: advancing only ever goes to the next number, so the first missing number ends
// the cutscene.

#include <cstdint>
#include <map>
#include <memory>

#include "model/cutscene_script_item.h"
#include "model/serializable.h"

class CCutsceneScript : public ISerializable {
 public:
  using Items = std::map<int32_t, std::unique_ptr<CCutsceneScriptItem>>;

  // The MakeCutsceneScript record: one line per step in ascending number. The lines carry
  // no numbers, so steps read back as 1 to N.
  void Serialize(std::string& out) const override;

  // Stores the item under the step, deleting one stored there; a null item is ignored.
  void AddItem(int32_t step, std::unique_ptr<CCutsceneScriptItem> item);
  // The item of the current step, or null.
  CCutsceneScriptItem* GetCurrentItem() const;
  // Moves to the next step when it exists (true); else stays (false).
  bool Advance();
  void Rewind() { mCurrentStep = 1; }
  int32_t GetCurrentStep() const { return mCurrentStep; }
  const Items& GetItems() const { return mItems; }

 private:
  int32_t mCurrentStep = 1;
  Items mItems;
};
