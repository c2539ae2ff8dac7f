-- Leaving the workbench (mixed or skipped): the potion is done.
SetGlobalBool("trankGemischt", true)
