-- "Wirklich beenden?": the screen dims behind a small dialog. Enter says yes, Escape no;
-- DoModal answers the name of the button that closed it.

local gold = Color(242, 211, 139)

local function DialogButton(name, x, label, isDefault, isCancel)
  return Button{ name = name, x = x, y = 146, close = true, default = isDefault, cancel = isCancel,
    sound = "sounds/click.ogg", rolloversound = "sounds/hover.ogg",
    graphics = { "images/start/button.png", "images/start/button_pressed.png", "images/start/button_over.png" },
    Text{ name = "label", w = kMax, h = kMax, flags = kHAlignCenter + kVAlignCenter, label = label,
      font = { "fonts/default_bold.mvec", 22, Color(255, 247, 225) } } }
end

MakeDialog{
  Bitmap{ name = "dim", image = "images/start/dim.png", alpha = true, autoscale = true },
  Bitmap{ name = "dialog", x = kCenter, y = kCenter, image = "images/start/dialog.png", alpha = true,
    Text{ name = "question", x = 0, y = 44, w = 460, h = 60, flags = kHAlignCenter, label = "QUIT_QUESTION",
      font = { "fonts/default_bold.mvec", 34, gold } },
    DialogButton("yes", 40, "YES", true, false),
    DialogButton("no", 240, "NO", false, true),
  },
}
