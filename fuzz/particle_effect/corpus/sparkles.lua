-- Sparkles: a short burst of bright points around the emitter that fly out, sink and
-- fade; the effect ends once the last one is gone.
SetTexture("spark")
SetBlendMode(kBlendAdditiveAlpha)

pAge = Allocate(1)
pLife = Allocate(1)
RequireVelocity()
SetNumParticles(400)

pPosition:Init(dLocus + f2dRadius(fRange(0, 6)))
pVelocity:Init(f2dRadius(fRange(50, 130)) + dUp * 30)
pLife:Init(fRange(500, 900))
pScale:Init(fRange(0.6, 1.4))
pColor:Init(fPick(Color(1, 0.9, 0.45, 1), Color(1, 1, 1, 1), Color(0.6, 0.85, 1, 1)))

SetUpGravity(120)
pAge:Anim(pAge + fAge())
pPosition:Anim(pPosition + fTimeScale(pVelocity))
pColor:Anim(fAlpha(pColor, fFade(pAge, 1, 300, 1, 600, 0)))
Anim(fExpire(fLess(pLife, pAge)))

local rate = NewParticleGenerator()
local burst = NewTimeout(0.3)

function Update(seconds)
  if not burst(seconds) then
    Spawn(rate(300, seconds * 1000))
  elseif GetParticleCount() == 0 then
    Done()
  end
end
