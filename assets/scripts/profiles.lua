-- The player profiles: up to five players in slots, a field for a name, and buttons that
-- make, rename and delete a profile and play as the chosen one. The dialog's window hands
-- this script the players (UpdatePlayerChoices) and tells it which slot is chosen.

ReadFile("scripts/widgets.lua")

local gold = Color(242, 211, 139)
local pale = Color(232, 226, 246)
local ink = Color(40, 30, 24)
local slots = 5

-- The window's answer: the current player, how many there are, and the names it shows.
function UpdatePlayerChoices(current, count, names)
  for i = 0, slots - 1 do
    local name = names[i + 1]
    EnableWindow("button" .. i, name ~= nil)
    if name then SetLabel("button" .. i, name) end
    SetState("button" .. i, i == current)
  end
end

local function Say(label)
  if label then SetLabel("message", GetString(label)) else SetLabel("message", "") end
end

-- The name in the field, when it is one a new profile may take.
local function NewName()
  local name = GetLabel("newname")
  if name == "" then
    Say("PROFILE_NAME_MISSING")
  elseif IsNameInUse(name) then
    Say("PROFILE_NAME_TAKEN")
  else
    return name
  end
end

local function Done()
  SetLabel("newname", "")
  Say(nil)
  SetPlayerChoices()
end

local function Create()
  if GetNumUsers() >= slots then
    Say("PROFILE_FULL")
    return
  end
  local name = NewName()
  if name then
    CreateNewUser(name)
    Done()
  end
end

local function Rename()
  if GetNumUsers() == 0 then return end
  local name = NewName()
  if name then
    SetCurrentUser(GetCurrentSelectedUser())
    ChangeCurrentUserName(name)
    Done()
  end
end

local function Delete()
  if GetNumUsers() == 0 then return end
  DeleteUser(GetCurrentSelectedUser())
  Done()
end

local function Choose()
  if GetNumUsers() == 0 then
    Say("PROFILE_NONE")
    return
  end
  SetCurrentUser(GetCurrentSelectedUser())
  CloseWindow("ok")
end

local function Slot(i)
  return Button{ name = "button" .. i, type = kRadio, x = 120, y = 84 + 50 * i,
    sound = "sounds/click.ogg",
    graphics = { "images/menu/slot.png", "images/menu/slot_chosen.png", "images/menu/slot_over.png",
                 "images/menu/slot_chosen.png" },
    Text{ name = "label", w = 380, h = 44, flags = kHAlignCenter + kVAlignCenter,
      font = { "fonts/default.mvec", 22, pale } } }
end

MakeDialog{
  Bitmap{ name = "dim", image = "images/menu/dim.png", alpha = true, autoscale = true },
  Bitmap{ name = "dialog", x = 202, y = 104, image = "images/menu/profiles.png", alpha = true,
    ProfilesWindow{ name = "profiles", x = 0, y = 0, w = 620, h = 560,
      Text{ name = "heading", x = 0, y = 22, w = 620, h = 50, flags = kHAlignCenter, label = "PROFILES_TITLE",
        font = { "fonts/default_bold.mvec", 36, gold } },
      Slot(0), Slot(1), Slot(2), Slot(3), Slot(4),
      Text{ name = "nameprompt", x = 120, y = 340, w = 380, h = 28, label = "PROFILE_NAME_PROMPT",
        font = { "fonts/default.mvec", 20, pale } },
      Bitmap{ name = "namefield", x = 120, y = 372, image = "images/menu/field.png", alpha = true },
      TextEdit{ name = "newname", x = 132, y = 376, w = 276, h = 32, flags = kVAlignCenter, length = 16,
        utf8 = true, font = { "fonts/default.mvec", 22, ink } },
      SmallButton("create", 430, 370, "PROFILE_CREATE", { command = Create }),
      SmallButton("rename", 40, 436, "PROFILE_RENAME", { command = Rename }),
      SmallButton("delete", 225, 436, "PROFILE_DELETE", { command = Delete }),
      SmallButton("choose", 410, 436, "PROFILE_CHOOSE", { command = Choose, default = true }),
      Text{ name = "message", x = 20, y = 494, w = 580, h = 40, flags = kHAlignCenter + kVAlignCenter,
        font = { "fonts/default.mvec", 20, gold } },
    },
  },
}
