-- Leaving the shed, its things all found: Mara carries grandpa's rusty key.
SetGlobalBool("schluesselGefunden", true)
