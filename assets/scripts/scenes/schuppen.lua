-- The shed. Mara's diary: the first visit writes the shed's page, a heading, a few lines
-- and her sketch of the shed.
if not GetGlobalBool("tagebuchSchuppen") then
  SetGlobalBool("tagebuchSchuppen", true)
  AddDiaryText("DIARY_SCHUPPEN_TITEL", 30, "fonts/default_bold.mvec", 0, 0)
  AddDiaryText("DIARY_SCHUPPEN", 24, "fonts/default.mvec", 0, 12)
  AddDiaryImage("images/diary/schuppen_skizze.png", 66, 24)
  AddDiarySiteEnd()
end
