-- Grandpa's sideboard: the first visit writes its page of the diary.
require("scripts/game/tagebuch.lua")
WriteDiaryPage("tagebuchSideboard", "DIARY_SIDEBOARD_TITEL", "DIARY_SIDEBOARD")
