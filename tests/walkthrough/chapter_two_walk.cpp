// Chapter 2: the chapter screen, the clearing by night (the villa still closed), grandpa's
// hall, the sideboard searched, the workbench's potion and the torn letter, back through the
// hall to the clearing, now open towards the villa; its entrance, the door lock, the safe,
// the hall of mirrors, the gallery, the sideboard's pictures and Adelheid's two games.

#include "../minigames/chapter_two_steps.h"
#include "walkthrough_run.h"

namespace {

using Steps = TChapterTwoSteps;

// The pointer's resting places: the sky of the outdoor screens, the corner of the
// mini-games, the floor of the villa's rooms.
const char* const Sky = "700 330";
const char* const Corner = "1010 10";
const char* const Floor = "512 740";
// The exits of the clearing by night, the hall and the villa's entrance.
const char* const ClearingToHouse = "250 260";
const char* const ClearingToVilla = "940 460";
const char* const HouseToSideboard = "280 400";
const char* const HouseToWorkbench = "830 400";
const char* const HouseToClearing = "512 600";
const char* const VillaBell = "615 565";
// The six things in grandpa's sideboard, each found by a click on it (the cogwheel on its rim).
const char* const SideboardThings[] = {"686 420", "896 236", "286 246", "496 446", "696 226", "476 236"};

}  // namespace

TWalk TWalkthroughRun::ChapterTwo() const {
  TWalk walk;
  walk.session += "advance 2200\n" + RestAt(Sky);
  Shot(walk, "200001_kapitel");
  // The card skipped; the night clearing's briefing shows for three seconds.
  walk.session += Click(Sky) + "advance 5000\n" + RestAt(Sky);
  Shot(walk, "220001_lichtung_nacht");
  walk.session += Click(ClearingToVilla) + "advance 300\n" + RestAt(Sky);
  Shot(walk, "220001_villa_zu");
  walk.session += "advance 3000\n" + Click(ClearingToHouse) + "advance 2000\n" + RestAt(Sky);
  Shot(walk, "210001_haus");
  walk.session += Click(HouseToSideboard) + "advance 2000\n" + RestAt(Sky);
  Shot(walk, "211003_sideboard");
  for (const char* thing : SideboardThings) walk.session += Click(thing) + "advance 100\n";
  walk.session += "advance 4000\n" + RestAt(Sky);
  Shot(walk, "210001_haus_werkbank");
  walk.session += Click(HouseToWorkbench) + "advance 1500\n" + RestAt(Corner);
  Shot(walk, "211201_werkbank");
  walk.session += Steps::MixThePotion() + "advance 3000\n" + RestAt(Corner);
  Shot(walk, "290501_brief");
  walk.session += Steps::PutTheLetterTogether() + "advance 3000\n" + RestAt(Sky);
  Shot(walk, "210001_haus_fertig");
  walk.session += Click(HouseToClearing) + "advance 2000\n" + RestAt(Sky);
  Shot(walk, "220001_villa_offen");
  walk.session += Click(ClearingToVilla) + "advance 2000\n" + RestAt(Sky);
  Shot(walk, "230001_villa");
  walk.session += Click(VillaBell) + "advance 3000\n" + RestAt(Corner);
  Shot(walk, "230301_tuerschloss");
  walk.session += Steps::OpenTheDoor() + "advance 4000\n" + RestAt(Corner);
  Shot(walk, "290101_tresor");
  walk.session += Steps::CrackTheSafe() + "advance 4000\n" + RestAt(Floor);
  Shot(walk, "290201_spiegelsaal");
  walk.session += Steps::FindTheMirrorImage() + "advance 6000\n" + RestAt(Floor);
  Shot(walk, "290301_galerie");
  walk.session += Steps::HangTheGallery() + "advance 6000\n" + RestAt(Floor);
  Shot(walk, "290302_kommode");
  walk.session += Steps::OrderTheSideboard() + "advance 6000\n" + RestAt(Floor);
  Shot(walk, "290401_muehle");
  walk.session += Steps::WinTheFirstMorris() + "advance 6500\n" + RestAt(Floor);
  Shot(walk, "290402_muehle");
  walk.session += Steps::WinTheSecondMorris();
  return walk;
}
