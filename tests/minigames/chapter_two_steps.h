#pragma once
// The moves that solve the second chapter's mini-games in the real executable, as pieces of a
// session: each game's own end-to-end run and the walkthrough play the same ones. A solving
// piece begins with the game waiting for the player and ends with the press that wins it.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "../scenes/scene_demo_run.h"
#include "model/mastermind_game.h"
#include "platform/random.h"

class TChapterTwoSteps : public TSceneDemoRun {
 public:
  static std::string Point(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
  // Takes up what lies at `from' and puts it down at `to'.
  static std::string Carry(const std::string& from, const std::string& to) {
    return Click(from.c_str()) + "move " + to + "\n" + Click(to.c_str()) + "advance 100\n";
  }

  // ---- The workbench: flasks carried to the funnels, then the mix button ----
  static constexpr const char* PotionGreen = "376 374";
  static constexpr const char* PotionPurple = "184 374";
  static constexpr const char* PotionBlack = "248 374";
  static constexpr const char* PotionMix = "630 492";
  static const char* Funnel(int n) {
    static const char* const funnels[] = {"512 128", "576 128", "704 128"};
    return funnels[n];
  }
  // Green and purple mix to orange; black runs to the right flask.
  static std::string MixThePotion() {
    return Carry(PotionGreen, Funnel(0)) + Carry(PotionPurple, Funnel(1)) + Carry(PotionBlack, Funnel(2)) +
           Click(PotionMix);
  }

  // ---- The torn letter: each piece from where it lies to its place ----
  static const std::vector<std::pair<std::string, std::string>>& LetterMoves() {
    static const std::vector<std::pair<std::string, std::string>> moves = {
        {"690 615", "300 575"}, {"160 575", "372 175"}, {"330 455", "652 175"},
        {"870 445", "372 285"}, {"510 595", "512 285"}, {"160 215", "652 285"}};
    return moves;
  }
  static std::string PutTheLetterTogether() {
    std::string session;
    for (const auto& [from, to] : LetterMoves()) session += Carry(from, to);
    return session;
  }

  // ---- The villa's door: four bolts, pressed while they stand down ----
  static std::string Bolt(int i) { return Click(Point(356 + 110 * i, 420).c_str()) + "advance 100\n"; }
  // The third unlocks the fourth; the first takes the second along, the fourth the first.
  static std::string OpenTheDoor() {
    std::string session;
    for (int bolt : {3, 2, 0, 3, 0, 1}) session += Bolt(bolt);
    return session;
  }

  // ---- The safe: pegs from the palette into the rows, the check button ----
  static const std::vector<std::string>& SafeColors() {
    static const std::vector<std::string> colors = {"green", "red", "blue", "yellow", "black", "white"};
    return colors;
  }
  // The safe's secret as the game draws it with the held seed.
  static std::vector<std::string> Secret() {
    CMastermindGame game;
    game.SetGameColorsCount(4);
    game.SetRows(4);
    for (const std::string& color : SafeColors()) game.AddColor(color.c_str());
    SetFixedGameSeed(true);
    game.StartNewGame();
    SetFixedGameSeed(false);
    std::vector<std::string> secret;
    for (const TString& color : game.GetSecret()) secret.push_back(color.ToStd());
    return secret;
  }
  static std::string PalettePeg(const std::string& color) {
    const std::vector<std::string>& colors = SafeColors();
    auto found = std::find(colors.begin(), colors.end(), color);
    if (found != colors.end()) return Point(284 + 88 * int(found - colors.begin()), 114);
    ADD_FAILURE() << color;
    return "";
  }
  static std::string Slot(int row, int column) { return Point(354 + 72 * column, 224 + 88 * row); }
  // A peg carried from the palette into a slot of the row.
  static std::string Place(const std::string& color, int row, int column) {
    return Click(PalettePeg(color).c_str()) + Click(Slot(row, column).c_str());
  }
  static std::string Row(const std::vector<std::string>& colors, int row) {
    std::string session;
    for (size_t c = 0; c < colors.size(); c++) session += Place(colors[c], row, int(c));
    return session;
  }
  static std::string Check() { return Click("400 602") + "advance 100\n"; }
  static std::string CrackTheSafe() { return Row(Secret(), 0) + Check(); }

  // ---- The villa's picture games ----
  // The held seed's deal puts the mirror image on the first place.
  static constexpr const char* MirrorImage = "192 450";
  static std::string FindTheMirrorImage() { return Click(MirrorImage); }
  // The gallery: the four frames and the check button; two swaps hang it right.
  static const char* GalleryFrame(int n) {
    static const char* const frames[] = {"192 260", "432 260", "672 260", "912 260"};
    return frames[n];
  }
  static constexpr const char* GalleryCheck = "512 492";
  static std::string HangTheGallery() {
    return Click(GalleryFrame(0)) + Click(GalleryFrame(1)) + Click(GalleryFrame(2)) + Click(GalleryFrame(3)) +
           Click(GalleryCheck);
  }
  // The sideboard: the left picture to the free middle, the right one to the left, checked.
  static constexpr const char* SideboardCheck = "512 202";
  static const char* SideboardPlace(int n) {
    static const char* const places[] = {"302 350", "512 350", "722 350"};
    return places[n];
  }
  static std::string OrderTheSideboard() {
    return Click(SideboardPlace(0)) + Click(SideboardPlace(1)) + Click(SideboardPlace(2)) + Click(SideboardPlace(0)) +
           Click(SideboardCheck);
  }

  // ---- Adelheid's morris games: the eight points of the ring ----
  static const char* Ring(int n) {
    static const char* const ring[] = {"342 214", "512 214", "682 214", "682 384",
                                       "682 554", "512 554", "342 554", "342 384"};
    return ring[n];
  }
  // The two stones next to the gap slide in turn: her mill on the left.
  static std::string WinTheFirstMorris() { return Click(Ring(6)) + Click(Ring(5)); }
  // A stone and its target, twice: her mill at the top.
  static std::string WinTheSecondMorris() { return Click(Ring(3)) + Click(Ring(2)) + Click(Ring(7)) + Click(Ring(0)); }
};
