-- The particle vocabulary ("particles.lua"). It runs once in every particle system's Lua
-- state, after the system has bound its own functions (Allocate, CompileParam,
-- CreateParticles, AccumulateInitStream, ...) and the f-functions (fFade, fRange, ...),
-- and before the renderer's members (pPosition, pUp, pScale, pColor, pFrame) are declared.
--
-- Expressions on members build trees of values {cmd = name, params = {...}}; Init and Anim
-- hand a tree to the system, which compiles it into its initialisation or animation stream.

kBlendNormal = 0
kBlendOpaque = 1
kBlendAdditiveAlpha = 2
kBlendSubtractive = 3
kBlendMultiplicative = 4
kBlendMode = "blendmode"

ValueMT = {}

function CreateValue(name, args)
  t = {cmd = name, params = args}
  setmetatable(t, ValueMT)
  return t
end

-- The operators are the same for expression values and for member handles.
local function AddOperators(mt)
  mt.__lt = function(a, b) return CreateValue("lt", {a, b}) end
  mt.__le = function(a, b) return CreateValue("le", {a, b}) end
  mt.__add = function(a, b) return CreateValue("add", {a, b}) end
  mt.__sub = function(a, b) return CreateValue("sub", {a, b}) end
  mt.__div = function(a, b) return CreateValue("div", {a, b}) end
  mt.__mul = function(a, b) return CreateValue("mul", {a, b}) end
  mt.__unm = function(a) return CreateValue("unm", {a}) end
end

AddOperators(ValueMT)
ValueMT.__index = function(value, key)
  if type(key) == "number" then
    return CreateValue("vindex", {value, key})
  end
  return ValueMT[key]
end

-- The system made the table; the library fills it.
ParticleMemberMT = ParticleMemberMT or {}
AddOperators(ParticleMemberMT)
ParticleMemberMT.__index = function(pm, key)
  if type(key) == "number" then
    local offset = GetParticleMemberParts(pm)
    return CreateValue("index", {offset, key})
  end
  return ParticleMemberMT[key]
end

function ParticleMemberMT.Init(pm, p)
  local offset, width = GetParticleMemberParts(pm)
  CompileParameters({CreateValue("assign", {p, offset, width})})
  AccumulateInitStream()
end

function ParticleMemberMT.Anim(pm, p)
  local offset, width = GetParticleMemberParts(pm)
  CompileParameters({CreateValue("assign", {p, offset, width})})
  AccumulateAnimStream()
end

function fGreater(a, b) return fLess(b, a) end
function fGreaterEqual(a, b) return fLessEqual(b, a) end

function Init(statement)
  CompileParameters({statement})
  AccumulateInitStream()
end

function Anim(statement)
  CompileParameters({statement})
  AccumulateAnimStream()
end

-- Compiles the elements in order (postfix: the arguments before their call); answers the
-- width of each. A nested call compiles its own arguments in a table of its own.
function CompileParameters(list)
  local result = {}
  for i = 1, table.getn(list) do
    result[i] = CompileParam(list[i])
  end
  sizes = result
  return result
end

function Spawn(num)
  CreateParticles(num)
  if Create then Create() end
end

local function Numbers(...)
  setmetatable(arg, ValueMT)
  arg.n = nil
  return arg
end

function Value(x) return Numbers(x) end
function Vec2(x, y) return Numbers(x, y) end
function Vec3(x, y, z) return Numbers(x, y, z) end
function Color(r, g, b, a) return Numbers(r, g, b, a) end

function SetBlendMode(mode)
  SetRendererOption1(kBlendMode, mode)
end

-- A generator of whole particle counts for a rate per second over elapsed milliseconds;
-- the fraction carries over to the next call.
function NewParticleGenerator()
  local accumulated = 0
  ParticlesPerSecond = function(pps, ms)
    accumulated = accumulated + ms
    local n = math.floor(accumulated / 1000 * pps)
    accumulated = accumulated - math.floor(n * 1000 / pps)
    return n
  end
  return ParticlesPerSecond
end

-- A function that answers true once the seconds given to it add up past the duration.
function NewTimeout(seconds)
  local remaining = seconds
  return function(s)
    if remaining < 0 then
      return true
    end
    remaining = remaining - s
    return false
  end
end

function SetTexture(texture)
  _SetTexture(texture)
end

function RequireVelocity()
  if not pVelocity then
    pVelocity = Allocate(2)
  end
end

function SetUpGravity(accel)
  RequireVelocity()
  pVelocity:Anim(pVelocity + fTimeScale(Vec2(0, accel)))
end

function Update()
end

-- The effect editor's controls: outside the editor each answers its default.
function GUI_Slider(default) return default end
function GUI_Texture(default) return default end
function GUI_Select(default) return default end
function GUI_PickTexture(default) return default end
function GUI_ColorPick(r, g, b, a) return r, g, b, a end
