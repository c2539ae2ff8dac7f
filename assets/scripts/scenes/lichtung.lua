-- Entering the clearing in the morning fog. Bars frame Mara's arrival while two briefing
-- texts tell what happened (a click on the first goes on to the second); grandpa's letter
-- lies in the grass until it is clicked, and finding it is worth a few points. The fog
-- hides all but a circle of light around the pointer.
StartInGameCutscene(0, 4000)
ShowBriefingWindow("LICHTUNG_BRIEF_1", 300, 3000, true)
ShowBriefingWindow("LICHTUNG_BRIEF_2", 3600, 3000, false)
ShowInGameObjectPartOne("images/scenes/brief.png", 422, 380, "LICHTUNG_LETTER", false, "")
ShowInGameObjectPartTwo(1200, 600000, true, true, false)
ShowInGameObjectPartOne("standard/sprites/no_sprite", 0, 0, "", true, "ShowBonusAsTextInSidebar(150)")
ShowInGameObjectPartTwo(2000, 0, false, false, false)
SetAlphaOfBlack(45)
SetCandleWindowVisible(true)
-- Mara's diary: the first arrival writes the clearing's page, a heading and what grandpa's
-- letter says (two labels, one text).
if not GetGlobalBool("tagebuchLichtung") then
  SetGlobalBool("tagebuchLichtung", true)
  AddDiaryText("DIARY_LICHTUNG_TITEL", 30, "fonts/default_bold.mvec", 0, 0)
  AddDiaryText("DIARY_LICHTUNG_1+DIARY_LICHTUNG_2", 24, "fonts/default.mvec", 0, 12)
  AddDiarySiteEnd()
end
