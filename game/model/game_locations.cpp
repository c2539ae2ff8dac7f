// The story's places: which scene numbers show a place, and which exits lead from it to
// which place. Most exit ids begin with the chapter digit (none in chapter 1), then the
// place they leave; the tables are the authority, exceptions included.

#include "model/game.h"

const CGame::LocationScenes& CGame::GetLocationScenes() {
  static const LocationScenes table = {
      {"200", {120001, 220001, 220002, 320002, 520001}},
      {"100", {210001, 310004, 410001, 510001}},
      {"112", {211201, 411201, 511201}},
      {"101", {210101, 410101, 410103, 510102, 510101}},
      {"105", {110501}},
      {"106", {110606}},
      {"113", {511301}},
      {"110", {211003, 411002, 511004, 511001}},
      {"102", {110201, 210201, 410201, 510201}},
      {"103", {410301}},
      {"203", {320303}},
      {"300", {230001, 530001}},
      {"301", {230101}},
      {"306", {530601}},
      {"307", {330705, 320703, 530701}},
      {"308", {230802, 230803, 330804, 530801, 530802}},
      {"317", {531701, 531703}},
      {"313", {531301, 531303}},
      {"303", {230301, 230306}},
      {"305", {530501, 530506}},
  };
  return table;
}

const CGame::LocationExits& CGame::GetLocationExits() {
  static const LocationExits table = {
      {"200",
       {{"200_adv_exit_haus", "100"},
        {"2_200_adv_exit_haus", "100"},
        {"5_200_adv_exit_haus", "100"},
        {"2_200_adv_exit_villa", "300"},
        {"5_200_adv_exit_villa", "300"},
        {"2_200_adv_exit_wald", "204"},
        {"5_200_adv_exit_wald", "204"}}},
      {"100",
       {{"2_100_adv_exit_wohnraum", "101"},
        {"4_100_adv_exit_wohnraum", "101"},
        {"5_100_adv_exit_wohnraum", "101"},
        {"2_100_adv_exit_schuppen", "112"},
        {"4_100_adv_exit_schuppen", "112"},
        {"5_100_adv_exit_schuppen", "112"},
        {"2_100_adv_exit_lichtung", "200"},
        {"4_100_adv_exit_lichtung", "200"},
        {"5_100_adv_exit_lichtung", "200"}}},
      {"112",
       {{"2_112_adv_exit_haus", "100"},
        {"4_112_adv_exit_haus", "100"},
        {"5_112_adv_exit_haus", "100"},
        {"5_112_adv_exit_werkbank", "113"}}},
      {"101",
       {{"2_101_adv_exit_hinnerk", "102"},
        {"4_101_adv_exit_hinnerk", "102"},
        {"5_101_adv_exit_hinnerk", "102"},
        {"2_101_adv_exit_haus", "100"},
        {"4_101_adv_exit_haus", "100"},
        {"5_101_adv_exit_haus", "100"},
        {"2_101_adv_exit_sideboard", "110"},
        {"4_101_adv_exit_sideboard", "110"},
        {"5_101_adv_exit_sideboard", "110"}}},
      {"113", {{"5_113_adv_exit_schuppen", "112"}}},
      {"110", {{"5_110_adv_exit_wohnraum", "101"}, {"4_110_adv_exit_wohnraum", "101"}}},
      {"102",
       {{"101_adv_exit_wohnraum", "101"},
        {"2_102_adv_exit_wohnraum", "101"},
        {"4_102_adv_exit_wohnraum", "101"},
        {"5_102_adv_exit_wohnraum", "101"},
        {"4_102_adv_exit_adelheid", "103"}}},
      {"103", {{"4_103_adv_exit_adelheid", "102"}}},
      {"105", {{"105_adv_exit_hinnerk", "102"}}},
      {"300",
       {{"2_300_adv_exit_flur", "306"},
        {"5_300_adv_exit_flur", "306"},
        {"2_300_adv_exit_klingel", "303"},
        {"2_300_adv_exit_lichtung", "200"},
        {"5_300_adv_exit_lichtung", "200"},
        {"5_300_adv_exit_keller", "313"},
        {"5_300_adv_exit_sicherungskasten", "305"}}},
      {"306", {{"5_306_adv_exit_gallerie", "307"}, {"5_306_adv_exit_bibo", "308"}}},
      {"307", {{"5_307_adv_exit_flur", "306"}}},
      {"308", {{"5_308_adv_exit_flur", "306"}, {"5_308_adv_exit_kerker", "317"}}},
      {"317", {{"5_317_adv_exit_bibo", "308"}}},
      {"313", {{"5_313_adv_exit_villa", "300"}}},
      {"303", {{"2_303_adv_exit_villa", "300"}}},
      {"305", {{"305_adv_exit_villa", "300"}}},
  };
  return table;
}

const std::vector<int32_t>& CGame::GetLocationScenes(const std::string& place) {
  static const std::vector<int32_t> none;
  auto it = GetLocationScenes().find(place);
  return it == GetLocationScenes().end() ? none : it->second;
}

const std::vector<std::pair<std::string, std::string>>& CGame::GetLocationExits(const std::string& place) {
  static const std::vector<std::pair<std::string, std::string>> none;
  auto it = GetLocationExits().find(place);
  return it == GetLocationExits().end() ? none : it->second;
}
