-- Leaving the sideboard, its things all found: the cogwheel makes the workbench turn.
SetGlobalBool("sideboardDurchsucht", true)
