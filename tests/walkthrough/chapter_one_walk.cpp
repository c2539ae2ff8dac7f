// Chapter 1: the chapter screen, grandpa's kitchen, the clearing (its house still locked),
// the lantern lighting the well, the well's mosaic and grandpa's picture cards (skipped), the
// shed and its key, the house open, the living room, the two dream dives, the garden maze,
// the four pages of the walk through the fog and the chapter's score.

#include "../minigames/chapter_one_steps.h"
#include "walkthrough_run.h"

namespace {

using Steps = TChapterOneSteps;

// Where the pointer rests besides the clearing's sky: on the mini-games' top right corner,
// below grandpa's shelf and on the walk's pages, on the garden's lawn.
const char* const Corner = "1010 10";
const char* const Floor = "512 600";
const char* const Lawn = "200 600";
// The mini-games' skip button; the places on grandpa's shelf.
const char* const SkipGame = "930 732";
const char* const FramePlace = "435 325";
const char* const CanPlace = "735 325";

}  // namespace

TWalk TWalkthroughRun::ChapterOne() const {
  TWalk walk;
  walk.session += "advance 2200\n" + RestAt(Rest);
  Shot(walk, "100001_kapitel");
  walk.session += Click(Rest) + "advance 1500\n" + RestAt(Rest);
  Shot(walk, "100101_kueche");
  // The kitchen clicked through; on the clearing the letter clicked away.
  walk.session += ThroughTheKitchen(Rest) + "advance 3000\n" + Click(Letter) + "advance 9000\n" + RestAt(Rest);
  Shot(walk, "120001_lichtung");
  walk.session += Click(ExitHouse) + "advance 300\n" + RestAt(Rest);
  Shot(walk, "120001_haus_zu");
  walk.session += "advance 3000\n" + Click(Lantern) + "advance 300\n" + RestAt(Rest);
  Shot(walk, "120001_laterne");
  walk.session += Click(PickupOk) + "advance 300\n" + Click(Slot0) + Click(Well) + "advance 100\n" + RestAt(Rest);
  Shot(walk, "120001_brunnen_hell");
  walk.session += "advance 3000\n" + Click(Well) + "advance 2000\n" + RestAt(Corner);
  Shot(walk, "190301_mosaik");
  walk.session += Steps::TurnTheMosaicUpright() + "advance 3000\n" + RestAt(Corner);
  Shot(walk, "190401_bilderkarten");
  // The one game the walkthrough skips.
  walk.session += Click(SkipGame) + "advance 3000\n" + RestAt(Rest);
  Shot(walk, "120001_brunnen_erkundet");
  walk.session += Click(ExitShed) + "advance 2000\n" + RestAt(Rest);
  Shot(walk, "190101_schuppen");
  for (const char* thing : ShedThings) walk.session += Click(thing) + "advance 100\n";
  walk.session += "advance 1500\n" + RestAt(Rest);
  Shot(walk, "190101_schluessel");
  walk.session += Click(PickupOk) + "advance 3000\n" + RestAt(Rest);
  Shot(walk, "120001_haus_offen");
  walk.session += "advance 3000\n" + Click(ExitHouse) + "advance 2000\n" + RestAt(Floor);
  Shot(walk, "110101_wohnraum");
  walk.session += Click(Slot0) + Click(FramePlace) + "advance 100\n" + Click(Slot0) + Click(CanPlace) +
                  "advance 3000\n" + RestAt("300 12");
  Shot(walk, "290601_tauchgang");
  walk.session += Steps::WinTheAvoidingDive() + RestAt("300 300");
  Shot(walk, "290602_harpune");
  walk.session += Steps::WinTheHarpoonDive() + "advance 3000\n" + RestAt(Lawn);
  Shot(walk, "190201_garten");
  walk.session += Steps::SolveTheMaze() + "advance 3000\n" + "advance 1500\n" + RestAt(Floor);
  Shot(walk, "190501_weg");
  const char* const pages[] = {"190502_hang", "190503_teich", "190504_tor"};
  for (const char* page : pages) {
    walk.session += Click(Floor) + "advance 2500\n" + RestAt(Floor);
    Shot(walk, page);
  }
  // The last page ends by itself; the chapter's score unfolds.
  walk.session += "advance 17000\n" + RestAt(Floor);
  Shot(walk, "190504_kapitelwertung");
  walk.session += Click(ScoreNext);
  return walk;
}
