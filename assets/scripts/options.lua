-- The options: full screen and sound off as check boxes, the volumes of the sounds and of
-- the music as sliders. The sliders act at once; "Übernehmen" keeps the volumes for the
-- player, "Abbrechen" leaves the stored ones as they were.

ReadFile("scripts/widgets.lua")

local gold = Color(242, 211, 139)
local pale = Color(232, 226, 246)

-- A switch: the check box, its text beside it.
local function CheckBox(name, y, label, command)
  return {
    Button{ name = name, type = kToggle, x = 90, y = y, sound = "sounds/click.ogg", command = command,
      graphics = { "images/menu/check.png", "images/menu/check_on.png", "images/menu/check_over.png",
                   "images/menu/check_on.png" } },
    Text{ name = name .. "label", x = 140, y = y, w = 300, h = 36, flags = kVAlignCenter, label = label,
      font = { "fonts/default.mvec", 24, pale } },
  }
end

local function Volume(name, y, label)
  return {
    Text{ name = name .. "label", x = 90, y = y, w = 160, h = 36, flags = kVAlignCenter, label = label,
      font = { "fonts/default.mvec", 24, pale } },
    Slider{ name = name, x = 260, y = y + 4, w = 220, h = 28, hslider = true,
      railtop = "images/menu/rail_cap.png", railmid = "images/menu/rail.png", railbot = "images/menu/rail_cap.png",
      sliderimage = "images/menu/knob.png", sliderrollimage = "images/menu/knob_over.png" },
  }
end

MakeDialog(PlateDialog("images/menu/options.png",
  OptionsWindow{ name = "options", x = 0, y = 0, w = 560, h = 440,
    Text{ name = "heading", x = 0, y = 24, w = 560, h = 50, flags = kHAlignCenter, label = "OPTIONS_TITLE",
      font = { "fonts/default_bold.mvec", 36, gold } },
    CheckBox("fullscreen", 100, "OPTIONS_FULLSCREEN", function() ToggleFullScreen() end),
    CheckBox("mutebox", 156, "OPTIONS_MUTE", function() ToggleSoundMute() end),
    Volume("sfxlevelslider", 224, "OPTIONS_SOUND"),
    Volume("musiclevelslider", 284, "OPTIONS_MUSIC"),
    SmallButton("save", 80, 362, "OPTIONS_SAVE", { close = true, default = true,
      command = function() SaveVolumes() end }),
    SmallButton("cancel", 310, 362, "OPTIONS_CANCEL", { close = true, cancel = true }),
  }))
