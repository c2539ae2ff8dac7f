-- Grandpa's living room: the first visit writes its page of the diary.
require("scripts/game/tagebuch.lua")
WriteDiaryPage("tagebuchWohnraum", "DIARY_WOHNRAUM_TITEL", "DIARY_WOHNRAUM")
