-- Leaving the arrival: Mara has read grandpa's letter, which is worth a few points.
SetGlobalBool("briefGelesen", true)
AddToOtherHighscoreMadeInLevel(150)
