-- The animation vocabulary of animated sprites ("ganimationscript"). It runs first in every
-- animated sprite's Lua state, after which the sprite's own functions (SetCurrentFrame,
-- WaitLuaNextFrame, SetAlpha, Load, GetScript, Die, Pause, IsPlaying, Random, ...) are
-- bound, and the animation's script defines the functions that play (DoAnim and others).
-- Frame numbers in these lists count from 1; the sprite's frames count from 0.

local frameDelay = 16

alpha = 1
alphadelta = 0
alphacount = 0

function delay(ms)
  frameDelay = ms
end

function pause(ms)
  WaitLuaNextFrame(ms)
end

function showFrame()
  WaitLuaNextFrame(frameDelay)
end

-- A fade runs over the next n frames shown by frames().
function fadeout(n)
  alphadelta = -alpha / n
  alphacount = n
end

function fadein(n)
  alphadelta = (1 - alpha) / n
  alphacount = n
end

function setAlpha(a)
  alpha = a
  SetAlpha(a)
end

function frames(list)
  count = table.getn(list)
  for i = 1, count do
    frame = list[i]
    if alphacount ~= 0 then
      alpha = alpha + alphadelta
      SetAlpha(alpha)
      alphacount = alphacount - 1
      if alphacount == 0 then
        alphadelta = 0
      end
    end
    SetCurrentFrame(frame - 1)
    WaitLuaNextFrame(frameDelay)
  end
end

function loop(times, list)
  for i = 1, times do
    frames(list)
  end
end

-- Plays another animation file: run{"name", image = ..., mask = ..., anim = "DoAnim"}.
function run(t)
  local name = t[1]
  local image = t.image or ""
  local mask = t.mask or ""
  local anim = t.anim or "DoAnim"
  if Load(name, image, mask) then
    local play = loadstring(GetScript() .. "; " .. anim .. "()")
    if play then
      play()
    end
  end
end

function die()
  Die()
end

function halt()
  Pause(true, -1)
end

function isPlaying(depth)
  return IsPlaying(depth or -1)
end

function endReferences()
end

function stop(depth)
  Pause(true, depth or -1)
end

function random(a, b)
  return Random(a, b)
end
