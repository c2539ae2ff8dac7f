-- "Wirklich beenden?": the screen dims behind a small dialog. Enter says yes, Escape no;
-- DoModal answers the name of the button that closed it.

ReadFile("scripts/widgets.lua")

local gold = Color(242, 211, 139)

MakeDialog{
  Bitmap{ name = "dim", image = "images/menu/dim.png", alpha = true, autoscale = true },
  Bitmap{ name = "dialog", x = kCenter, y = kCenter, image = "images/menu/dialog.png", alpha = true,
    Text{ name = "question", x = 0, y = 44, w = 460, h = 60, flags = kHAlignCenter, label = "QUIT_QUESTION",
      font = { "fonts/default_bold.mvec", 34, gold } },
    SmallButton("yes", 45, 150, "YES", { close = true, default = true }),
    SmallButton("no", 245, 150, "NO", { close = true, cancel = true }),
  },
}
