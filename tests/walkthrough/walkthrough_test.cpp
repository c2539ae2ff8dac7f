// The whole demo played through in the real executable: a new player, both chapters, the
// end, the credits and the highscore entry.

#include "walkthrough_run.h"

namespace {

class Walkthrough : public TWalkthroughRun {};

}  // namespace
