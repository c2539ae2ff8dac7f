#include "walkthrough_run.h"

namespace {

// The highscore table's close button (in the middle of the screen), and where the pointer
// waits during the credits and in the main menu.
constexpr const char* HiscoreClose = "512 656";
constexpr const char* Aside = "900 700";

}  // namespace

// The tower room at dawn: every click shows the cutscene's next step; after the last one the
// game's score unfolds over the epilogue. Its button puts the score into the highscores and
// shows their table; once it is closed, a click on the epilogue ends the game: the credits run
// by themselves and the main menu is back.
TWalk TWalkthroughRun::Ending() const {
  TWalk walk;
  auto steps = [&walk](int count) {
    for (int i = 0; i < count; i++) walk.session += Click(Rest) + "advance 100\n";
  };
  walk.session += "advance 1500\nmove " + std::string(Rest) + "\n";
  Shot(walk, "200101_turmzimmer");
  steps(3);
  Shot(walk, "200101_adelheid_traurig");
  steps(1);
  Shot(walk, "200101_kristall");
  steps(3);
  Shot(walk, "200101_abschied");
  steps(4);
  walk.session += "advance 1500\nmove " + std::string(Aside) + "\nadvance 9000\n";
  Shot(walk, "200101_spielstand");
  walk.session += Click(ScoreNext) + "advance 500\nmove " + Aside + "\n";
  Shot(walk, "200101_bestenliste");
  walk.session += Click(HiscoreClose) + "advance 500\nmove " + std::string(Rest) + "\n";
  Shot(walk, "200102_epilog");
  walk.session += Click(Rest) + "advance 500\nmove " + Aside + "\nadvance 6000\n";
  Shot(walk, "200102_abspann");
  // The credits close by themselves; the pointer's next move lets the main menu be built again.
  walk.session += "advance 30000\nmove 880 690\nadvance 100\nmove " + std::string(Aside) + "\nadvance 2000\n";
  Shot(walk, "200102_hauptmenue");
  return walk;
}
