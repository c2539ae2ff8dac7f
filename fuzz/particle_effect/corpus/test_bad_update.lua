-- An effect whose Update fails at every call.
SetNumParticles(10)
function Update(seconds)
  Spawn(1)
  CallsNothing(seconds)
end
