-- Adelheid's second game: a stone is taken, then its point is named.
ShowBriefingWindow("MUEHLE_OBEN_BRIEF", 300, 4000, false)
