-- Leaving the closing cutscene: the game's score shows, and its button ends the game (the
-- score's script asks for "spielende").
SetGlobalBool("spielende", true)
PostMessage(CreateNamedMessage(kGeneric, "ShowScoreWindow"))
