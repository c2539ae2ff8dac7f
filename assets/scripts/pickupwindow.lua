-- The pick-up window: what Mara has just found, large, with its text, over the dimmed
-- screen, until "Weiter".
ReadFile("scripts/widgets.lua")

MakeDialog{
  Bitmap{ name = "dim", image = "images/menu/dim.png", alpha = true, autoscale = true },
  Bitmap{ name = "plate", x = kCenter, y = kCenter, image = "images/menu/panel.png", alpha = true,
    Text{ name = "title", x = 0, y = 18, w = 340, h = 50, flags = kHAlignCenter, label = "PICKUP_TITLE",
      font = { "fonts/default_bold.mvec", 32, Color(242, 211, 139) } },
    Bitmap{ name = "item", x = 90, y = 68, image = GetGlobalString("pickupImage"), alpha = true },
    Text{ name = "description", x = 10, y = 234, w = 320, h = 40, flags = kHAlignCenter,
      label = GetGlobalString("description"), font = { "fonts/default.mvec", 17, Color(255, 247, 225) } },
    SmallButton("ok", 85, 276, "PICKUP_OK", { close = true, default = true, cancel = true }),
  },
}
