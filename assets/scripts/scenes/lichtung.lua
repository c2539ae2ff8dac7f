-- The clearing in the morning fog. On the first arrival bars frame it while two briefing
-- texts tell what happened (a click on the first goes on to the second); grandpa's letter
-- lies in the grass until it is clicked, and finding it is worth a few points. The fog
-- hides all but a circle of light around the pointer.
require("scripts/game/tagebuch.lua")
if not GetGlobalBool("tagebuchLichtung") then
  StartInGameCutscene(0, 4000)
  ShowBriefingWindow("LICHTUNG_BRIEF_1", 300, 3000, true)
  ShowBriefingWindow("LICHTUNG_BRIEF_2", 3600, 3000, false)
  ShowInGameObjectPartOne("images/scenes/brief.png", 422, 380, "LICHTUNG_LETTER", false, "")
  ShowInGameObjectPartTwo(1200, 600000, true, true, false)
  ShowInGameObjectPartOne("standard/sprites/no_sprite", 0, 0, "", true, "ShowBonusAsTextInSidebar(150)")
  ShowInGameObjectPartTwo(2000, 0, false, false, false)
end
SetAlphaOfBlack(45)
SetCandleWindowVisible(true)
-- Mara's diary begins with the first chapter: the first arrival writes the clearing's page,
-- a heading and what grandpa's letter says (two labels, one text).
StartDiaryChapter("tagebuchKapitel1")
if not GetGlobalBool("tagebuchLichtung") then
  SetGlobalBool("tagebuchLichtung", true)
  AddDiaryText("DIARY_LICHTUNG_TITEL", 30, "fonts/default_bold.mvec", 0, 0)
  AddDiaryText("DIARY_LICHTUNG_1+DIARY_LICHTUNG_2", 24, "fonts/default.mvec", 0, 12)
  AddDiarySiteEnd()
end
-- The well explored and the shed searched leave nothing more to do there. Grandpa's house
-- opens with the key once the well is explored; until then its text says what is missing.
-- The key stays in the door.
local well, key = GetGlobalBool("brunnenErkundet"), GetGlobalBool("schluesselGefunden")
if well then
  SetActiveExit("1_200_adv_exit_brunnen", false)
  SetTextForExit("1_200_adv_exit_brunnen", "EXIT_BRUNNEN_FERTIG")
end
if key then
  SetActiveExit("1_200_adv_exit_schuppen", false)
  SetTextForExit("1_200_adv_exit_schuppen", "EXIT_SCHUPPEN_FERTIG")
end
if well and key then
  SetActiveExit("1_200_adv_exit_haus", true)
  SetTextForExit("1_200_adv_exit_haus", "EXIT_HAUS")
  if not GetGlobalBool("hausOffen") then
    SetGlobalBool("hausOffen", true)
    RemoveInventoryItem("schluessel")
    ShowInfoText("LICHTUNG_HAUS_OFFEN")
  end
elseif key then
  SetTextForExit("1_200_adv_exit_haus", "EXIT_HAUS_OHNE_BRUNNEN")
end
