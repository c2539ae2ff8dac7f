-- Adelheid's first game: a click moves a stone into the free point.
ShowBriefingWindow("MUEHLE_BRIEF", 300, 4000, false)
