-- The clearing by night. The first arrival tells where Mara is and begins the chapter's
-- spread of the diary. The way to the villa opens once the potion is mixed and grandpa's
-- letter put together; until then its text says what is missing.
require("scripts/game/tagebuch.lua")
if not GetGlobalBool("tagebuchNacht") then
  ShowBriefingWindow("NACHT_BRIEF", 300, 3000, true)
end
StartDiaryChapter("tagebuchNacht")
WriteDiaryPage("tagebuchNacht", "DIARY_NACHT_TITEL", "DIARY_NACHT")
local potion, letter = GetGlobalBool("trankGemischt"), GetGlobalBool("briefZusammengesetzt")
if potion and letter then
  SetActiveExit("2_200_adv_exit_villa", true)
  SetTextForExit("2_200_adv_exit_villa", "EXIT_VILLA")
elseif potion then
  SetTextForExit("2_200_adv_exit_villa", "EXIT_VILLA_OHNE_BRIEF")
elseif letter then
  SetTextForExit("2_200_adv_exit_villa", "EXIT_VILLA_OHNE_TRANK")
end
