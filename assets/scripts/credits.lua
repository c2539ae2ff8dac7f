-- The credits, after the end of the story and from the main menu: the names of the credits
-- file scroll up over the valley at dusk, roles on the left and names on the right, and the
-- dialog closes by itself before the names come round again (its button or Escape close it
-- earlier).

ReadFile("scripts/widgets.lua")

SetWindowName("creditswindow")
MakeDialog{
  Bitmap{ name = "valley", image = "images/menu/background.png" },
  CreditsWindow{ name = "credits", x = 0, y = 0, w = 1024, h = 768, file = "texts/credits.txt",
    font = "fonts/default.mvec", fontsize = 26, fontcolor = Color(232, 226, 246), headercolor = Color(242, 211, 139),
    columngap = 40, columnwidth = 452, time = 24000, intropause = 1500 },
  SmallButton("close", 834, 714, "CLOSE", { close = true, cancel = true }),
}
