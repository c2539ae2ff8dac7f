// The jigsaw and its pieces. A piece record is made a piece by its id; its other values go
// to that piece, and its plain nested tables list the ids of its neighbours.

#include <vector>

#include "model/jigsaw_puzzle.h"
#include "model/model_compositor.h"
#include "model/model_types.h"

namespace {

// Ids are read unsigned, as the puzzle names and writes them.
struct TPieceRecord {
  uint32_t id = 0;
  int32_t startX = 0;
  int32_t startY = 0;
  int32_t endX = 0;
  int32_t endY = 0;
  TString image;
  std::vector<uint32_t> neighbours;
};

void ComposeJigsawPiece(CJigsawPuzzle& puzzle, TLuaTable& table) {
  static const CRecordRules<TPieceRecord> rules = [] {
    CRecordRules<TPieceRecord> pieceRules;
    pieceRules.Field("id", &TPieceRecord::id)
        .Field("startPosX", &TPieceRecord::startX)
        .Field("startPosY", &TPieceRecord::startY)
        .Field("endPosX", &TPieceRecord::endX)
        .Field("endPosY", &TPieceRecord::endY)
        .Field("image", &TPieceRecord::image)
        .Nested(PlainTableType, [](TPieceRecord& piece, TLuaTable& list) {
          WalkListValues(list, [&](const CRecordEntry& entry) { piece.neighbours.push_back(entry.Unsigned()); });
        });
    return pieceRules;
  }();
  TPieceRecord record;
  rules.Walk(record, table);
  TString name = puzzle.AddPiece(record.id);
  CJigsawPiece* piece = puzzle.FindPiece(name);
  if (!piece) return;
  piece->SetStartPosX(record.startX);
  piece->SetStartPosY(record.startY);
  piece->SetEndPosX(record.endX);
  piece->SetEndPosY(record.endY);
  piece->SetImage(record.image);
  for (uint32_t neighbour : record.neighbours) puzzle.AddNeighbour(name, neighbour);
}

}  // namespace

std::unique_ptr<CScene> CModelCompositor::ComposeJigsawPuzzle(TLuaTable& table) {
  using Record = TSceneRecord<CJigsawPuzzle>;
  using Game = CJigsawPuzzle;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> gameRules;
    gameRules.Key("offsetX", &Game::SetOffsetX)
        .Key("offsetY", &Game::SetOffsetY)
        .Key("delta", &Game::SetDelta)
        .Key("hookPieces", &Game::SetHookPieces)
        .Key("stickOnBackground", &Game::SetStickOnBackground)
        .Key("numberOfGroupsToWin", &Game::SetNumberOfGroupsToWin)
        .Nested(ModelJigsawPiece, [](Record& record, TLuaTable& piece) { ComposeJigsawPiece(*record.scene, piece); });
    return gameRules;
  }();
  return ComposeSceneRecord(table, rules);
}
