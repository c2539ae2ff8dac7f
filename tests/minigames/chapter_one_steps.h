#pragma once
// The moves that solve the first chapter's mini-games in the real executable, as pieces of a
// session: each game's own end-to-end run and the walkthrough play the same ones. A solving
// piece begins with the game waiting for the player and ends with the move that wins it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../scenes/scene_demo_run.h"
#include "model/rotation_tiles_game.h"
#include "platform/random.h"

class TChapterOneSteps : public TSceneDemoRun {
 public:
  // ---- The well's lid: each tile turned until it stands upright ----
  // The clicks that set the tiles from..to (of nine, row by row) upright. While the timer is
  // held the game deals from one seed, so the model deals the same board here.
  static std::string TurnMosaicTiles(size_t from, size_t to) {
    SetFixedGameSeed(true);
    CRotationTilesGame deal;
    deal.SetTilesCount(9);
    deal.CreateTiles();
    SetFixedGameSeed(false);
    std::vector<CRotationTile*> tiles = deal.GetTiles();
    EXPECT_EQ(tiles.size(), 9u);
    std::string clicks;
    for (size_t n = from; n < to && n < tiles.size(); n++) {
      std::string tile = std::to_string(392 + 120 * (n % 3)) + " " + std::to_string(264 + 120 * (n / 3));
      for (int32_t turn = tiles[n]->GetStatus(); turn % 4 != 0; turn++)
        clicks += Click(tile.c_str()) + "advance 100\n";
    }
    return clicks;
  }
  static std::string TurnTheMosaicUpright() { return TurnMosaicTiles(0, 9); }

  // ---- The garden maze: the hedges pushed aside, the lantern led out through the gate ----
  // A press at `from', the pointer moved through `moves' (a step of play after each), and
  // the release at `to'.
  static std::string Drag(const std::string& from, const std::vector<std::string>& moves, const std::string& to) {
    std::string session = "move " + from + "\ndown " + from + "\n";
    for (const std::string& move : moves) session += "move " + move + "\nadvance 25\n";
    return session + "up " + to + "\n";
  }
  // The long hedge goes up by exactly a box; the tall one down by a box and a pixel, twice;
  // the stone does not move.
  static std::string PushTheHedgesAside() {
    return Drag("600 320", {"600 256"}, "600 256") + Drag("512 300", {"512 364", "512 365", "512 429"}, "512 428") +
           Drag("384 448", {"460 448"}, "460 448");
  }
  // The lantern right box by box and out through the gate.
  static std::string LeadTheLanternOut() {
    return Drag("384 320", {"449 320", "513 320", "577 320", "641 320", "705 320"}, "704 320");
  }
  static std::string SolveTheMaze() { return PushTheHedgesAside() + LeadTheLanternOut(); }

  // ---- The dream dives ----
  // Avoiding: from its countdown, Mara waits at the top, where no shark comes, until enough
  // have swum past (about eight seconds of play); the harpoon dive that follows has begun
  // its countdown. (A move to where the pointer stands already reports nothing: the diver
  // goes up once play has begun.)
  static std::string WinTheAvoidingDive() { return "move 300 12\nadvance 3500\nmove 300 10\nadvance 12000\n"; }
  // Harpoons: shots at every height a shark can swim at, sweep after sweep, each as soon as
  // the harpoon is loaded again (0.2 s). A harpoon flies 40 pixels below the pointer and is
  // 10 high, a shark 70: shots 60 apart leave none out, and a sweep takes less time than the
  // fastest shark needs to cross the pond.
  static std::string WinTheHarpoonDive() {
    std::string session;
    for (int sweep = 0; sweep < 16; sweep++)
      for (int y = 40; y <= 520; y += 60) {
        std::string point = "300 " + std::to_string(y);
        session += "move " + point + "\nclick " + point + "\nadvance 250\n";
      }
    return session;
  }
};
