-- Smoke: soft puffs that rise from the emitter along its up direction, drift, turn,
-- grow and thin out. It runs until its sprite goes.
SetTexture("smoke")
SetBlendMode(kBlendNormal)

pAge = Allocate(1)
pAngle = Allocate(1)
pSpin = Allocate(1)
RequireVelocity()
SetNumParticles(160)

pPosition:Init(dLocus + Vec2(fRange(-6, 6), fRange(-2, 2)))
pVelocity:Init(dUp * fRange(25, 45) + Vec2(fRange(-8, 8), 0))
pAngle:Init(fRange(0, 6.28))
pSpin:Init(fOpenCycle(-0.8, 0.8, 5))
pScale:Init(fRange(0.5, 0.8))
pColor:Init(fPick(Color(0.5, 0.5, 0.55, 0.8), Color(0.65, 0.65, 0.7, 0.8)))

pAge:Anim(pAge + fAge())
pAngle:Anim(pAngle + fTimeScale(pSpin))
pUp:Anim(f2dRotation(pAngle))
pScale:Anim(pScale + fTimeScale(0.6))
pPosition:Anim(pPosition + fTimeScale(pVelocity))
pColor:Anim(fAlpha(pColor, fFade(pAge, 0.8, 400, 0.6, 1200, 0)))
Anim(fExpire(fLessEqual(1600, pAge)))

local rate = NewParticleGenerator()

function Update(seconds)
  Spawn(rate(60, seconds * 1000))
end
