// The potion game's nested records: its pipes and its lists of colours.

#include "model/model_compositor.h"
#include "model/same_bytes.h"

namespace {

// A table without "modeltype" reads as type 0.
constexpr int32_t PlainTable = 0;

}  // namespace

CModelCompositor::TMixPotionPipeRecord CModelCompositor::ComposeMixPotionPipe(TLuaTable& table) {
  using Record = TMixPotionPipeRecord;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> pipeRules;
    pipeRules.Field("id", &Record::id)
        .Field("x", &Record::x)
        .Field("y", &Record::y)
        .Field("h", &Record::h)
        .Nested(PlainTable, [](Record& pipe, TLuaTable& ids) {
          WalkListValues(ids, [&](const CRecordEntry& id) { pipe.connections.push_back(id.Whole()); });
        });
    return pipeRules;
  }();
  Record pipe;
  rules.Walk(pipe, table);
  return pipe;
}

void CModelCompositor::ComposeColorList(TLuaTable& table, std::vector<int32_t>& colors) {
  const char* const names[] = {"green", "orange", "black", "purple"};
  WalkListValues(table, [&](const CRecordEntry& entry) {
    TString name = entry.String();
    int32_t color = 5;
    for (int32_t i = 0; i < 4; ++i) {
      if (SameBytes(name, names[i])) color = i;
    }
    colors.push_back(color);
  });
}
