-- Leaving grandpa's picture cards (paired or skipped): the well is explored.
SetGlobalBool("brunnenErkundet", true)
