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

-- A small dialog over the dimmed screen: the dialog plate in the middle holding `children'
-- (a list of windows in the plate's coordinates, 460 x 230).
function SmallDialog(children)
  local plate = { name = "dialog", x = kCenter, y = kCenter, image = "images/menu/dialog.png", alpha = true }
  for _, child in ipairs(children) do table.insert(plate, child) end
  return { Bitmap{ name = "dim", image = "images/menu/dim.png", alpha = true, autoscale = true }, Bitmap(plate) }
end

-- The question or title of a small dialog, in gold across its top.
function DialogTitle(name, label)
  return Text{ name = name, x = 0, y = 44, w = 460, h = 60, flags = kHAlignCenter, label = label,
    font = { "fonts/default_bold.mvec", 34, Color(242, 211, 139) } }
end

-- A large dialog over the dimmed screen: the plate `image' in the middle holding `window'
-- (the dialog's own window, in the plate's coordinates).
function PlateDialog(image, window)
  return { Bitmap{ name = "dim", image = "images/menu/dim.png", alpha = true, autoscale = true },
    Bitmap{ name = "dialog", x = kCenter, y = kCenter, image = image, alpha = true, window } }
end
