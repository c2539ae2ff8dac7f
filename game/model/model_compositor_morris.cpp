// The morris board: its points, each with its place, start and end status and the points
// joined to it.

#include <vector>

#include "model/model_compositor.h"
#include "model/model_types.h"
#include "model/nine_mens_morris_game.h"

namespace {

// One point of the list. It gives its four list entries together, so that the lists stay in
// step: a status it lacks is 0, a missing neighbour list empty, and its place carries over
// from the point before (the first point starts at the origin). Every neighbour list the
// point holds adds to its one list.
struct TMorrisPoint {
  int32_t x = 0;
  int32_t y = 0;
  int32_t statusStart = 0;
  int32_t statusEnd = 0;
  std::vector<int32_t> neighbours;
};

void ComposeMorrisPoints(CNineMensMorrisGame& game, TLuaTable& list) {
  static const CRecordRules<TMorrisPoint> rules = [] {
    CRecordRules<TMorrisPoint> pointRules;
    pointRules.Field("xPos", &TMorrisPoint::x)
        .Field("yPos", &TMorrisPoint::y)
        .Field("statusStart", &TMorrisPoint::statusStart)
        .Field("statusEnd", &TMorrisPoint::statusEnd)
        .Nested(PlainTableType, [](TMorrisPoint& point, TLuaTable& neighbours) {
          WalkListValues(neighbours, [&](const CRecordEntry& index) { point.neighbours.push_back(index.Whole()); });
        });
    return pointRules;
  }();
  TMorrisPoint point;
  WalkRecord(list, [&](const CRecordEntry& entry) {
    std::unique_ptr<TLuaTable> table = entry.Table();
    if (!table) return;
    point = TMorrisPoint{point.x, point.y, 0, 0, {}};
    rules.Walk(point, *table);
    game.AddFieldStatusStart(point.statusStart);
    game.AddFieldStatusEnd(point.statusEnd);
    game.AddFieldNeighbours(point.neighbours);
    game.AddFieldPosition(point.x, point.y);
  });
}

}  // namespace

std::unique_ptr<CScene> CModelCompositor::ComposeNineMensMorrisGame(TLuaTable& table) {
  using Record = TSceneRecord<CNineMensMorrisGame>;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> gameRules;
    gameRules.Key("filepath", &CNineMensMorrisGame::SetFilepath)
        .Nested(PlainTableType, [](Record& record, TLuaTable& points) { ComposeMorrisPoints(*record.scene, points); });
    return gameRules;
  }();
  return ComposeSceneRecord(table, rules);
}
