-- A syntax error: the effect does not compile.
SetNumParticles(10
pScale:Init(2)
