-- The buttons of the demo's dialogs and screens: a label of the string table on a bronze
-- plate, with the click and roll-over sounds. `more' adds keys to the button (command,
-- close, default, cancel ...).

local function PlateButton(plate, width, height, size, name, x, y, label, more)
  local button = { name = name, x = x, y = y, sound = "sounds/click.ogg", rolloversound = "sounds/hover.ogg",
    graphics = { "images/menu/" .. plate .. ".png", "images/menu/" .. plate .. "_pressed.png",
                 "images/menu/" .. plate .. "_over.png" },
    Text{ name = "label", w = width, h = height, flags = kHAlignCenter + kVAlignCenter, label = label,
      font = { "fonts/default_bold.mvec", size, Color(255, 247, 225) } } }
  for key, value in pairs(more or {}) do button[key] = value end
  return Button(button)
end

function MenuButton(name, x, y, label, more)
  return PlateButton("button", 240, 52, 24, name, x, y, label, more)
end

function SmallButton(name, x, y, label, more)
  return PlateButton("small_button", 170, 44, 20, name, x, y, label, more)
end
