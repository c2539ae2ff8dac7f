-- Leaving the torn letter (put together or skipped): the letter is done.
SetGlobalBool("briefZusammengesetzt", true)
