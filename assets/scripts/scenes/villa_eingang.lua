-- The villa's entrance: the first visit writes its page of the diary.
require("scripts/game/tagebuch.lua")
WriteDiaryPage("tagebuchVilla", "DIARY_VILLA_TITEL", "DIARY_VILLA")
