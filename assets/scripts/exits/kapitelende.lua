-- Leaving the last scene of a chapter: the score screen shows what the chapter brought.
PostMessage(CreateNamedMessage(kGeneric, "ShowScoreWindow"))
