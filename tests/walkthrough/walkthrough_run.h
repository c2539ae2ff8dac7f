#pragma once
// The demo's walkthrough in the real executable, in stretches of the story. Each stretch is a
// piece of the session: it begins right after the click that left the previous stretch's
// last screen (the game's timer held) and ends with the click that leaves its own last
// screen. The frames it settles are named in its list; the whole walkthrough compares them
// with tests/golden/walkthrough/<name>.png.

#include <string>
#include <vector>

#include "../scenes/scene_demo_run.h"

struct TWalk {
  std::string session;
  std::vector<std::string> frames;

  TWalk& operator+=(const TWalk& next) {
    session += next.session;
    frames.insert(frames.end(), next.frames.begin(), next.frames.end());
    return *this;
  }
};

class TWalkthroughRun : public TSceneDemoRun {
 protected:
  // A run plays a whole chapter or more in real time.
  TWalkthroughRun() { mPlayTimeoutSeconds = 420; }

  // Chapter 1, "Ankunft im Nebeltal": from the main menu's "Spielen" of a new player to the
  // click that leaves the chapter's score (chapter_one_walk.cpp).
  TWalk ChapterOne() const;
  // Chapter 2, "Das Geheimnis der Villa": from its chapter screen to the click that leaves
  // Adelheid's second game (chapter_two_walk.cpp).
  TWalk ChapterTwo() const;
  // The closing cutscene, the game's score, the highscore entry and the credits, back to the
  // main menu (ending_walk.cpp).
  TWalk Ending() const;

  // The score's button (its dialog in the middle of the screen), at a chapter's end and the game's.
  static constexpr const char* ScoreNext = "512 556";

  // The pointer moved aside, to rest there for a moment before a frame.
  static std::string RestAt(const char* point) { return std::string("move ") + point + "\nadvance 100\n"; }

  // A frame of the walkthrough: settled now and listed for the comparison.
  void Shot(TWalk& walk, const std::string& name) const {
    walk.session += Settle(name);
    walk.frames.push_back(name);
  }
};
