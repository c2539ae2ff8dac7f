-- Glow: a halo around a sprite, made from its silhouette in the glow colour (the game
-- gives it as the texture): five copies of it behind the sprite, each a little larger
-- and fainter than the one before, that follow the sprite until the glow ends.
SetBlendMode(kBlendNormal)
SetNumParticles(5)

pPosition:Anim(dLocus)
pScale:Init(fClosedCycle(1.08, 1.4, 5))
pColor:Init(Color(1, 1, 1, 0.28))

local spawned = false

function Update(seconds)
  if not spawned then
    Spawn(5)
    spawned = true
  end
end
