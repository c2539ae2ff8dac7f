-- Embers: a short burst that rises, fades and expires; the emitter ends itself.
pAge = Allocate(1)
pHeat = Allocate(3)
RequireVelocity()
SetNumParticles(50)
pPosition:Init(dLocus + Vec2(fRange(-2, 2), 0))
pVelocity:Init(dUp * fRange(10, 20) + {1, 0})
pHeat:Init({1, 0.5, 0.2})
pAge:Anim(pAge + fTimeScale(1))
pPosition:Anim(pPosition + pVelocity * fTimeScale(1))
pScale:Anim(fClosedCycle(0.5, 1, 2) * fAlpha(pAge))
pColor:Anim(Color(pHeat[1], pHeat[2], pHeat[3], fFade(pAge, 1)))
pAge:Anim(fExpire(pAge < 2))
function Update(seconds)
  CreateParticles(seconds * 200)
  if GetParticleCount() > 40 then Done() end
end
