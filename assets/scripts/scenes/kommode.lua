-- The sideboard: how the pictures are moved and checked.
ShowBriefingWindow("KOMMODE_BRIEF", 300, 4000, false)
