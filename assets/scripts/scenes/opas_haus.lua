-- Grandpa's hall. The sideboard is searched once; the workbench turns only with the
-- cogwheel found there, and once the potion is mixed (or skipped) there is nothing more to
-- do at it.
require("scripts/game/tagebuch.lua")
WriteDiaryPage("tagebuchHaus", "DIARY_HAUS_TITEL", "DIARY_HAUS")
if GetGlobalBool("sideboardDurchsucht") then
  SetActiveExit("2_100_adv_exit_wohnraum", false)
  SetTextForExit("2_100_adv_exit_wohnraum", "EXIT_SIDEBOARD_LEER")
end
if GetGlobalBool("trankGemischt") then
  SetActiveExit("2_100_adv_exit_schuppen", false)
  SetTextForExit("2_100_adv_exit_schuppen", "EXIT_WERKBANK_FERTIG")
elseif GetGlobalBool("sideboardDurchsucht") then
  SetActiveExit("2_100_adv_exit_schuppen", true)
  SetTextForExit("2_100_adv_exit_schuppen", "EXIT_WERKBANK")
end
