-- The new game: the first level, "Ankunft im Nebeltal", with its chapter screen and the
-- clearing.
require("scripts/game/objectives.lua")

MakeGame{
  name = "Das Geheimnis des Nebeltals",
  startScene = 100001,
  MakeLevel{
    seqId = 1,
    name = "Ankunft im Nebeltal",
    MakeChapterScreen{
      seqId = 100001,
      bg = "images/scenes/ankunft.png",
      nextScene = 120001,
      exitScript = "scripts/exits/ankunft.lua",
      title = "CHAPTER_1_TITLE",
      subtitle = "CHAPTER_1_SUBTITLE",
      locationImage = "images/scenes/nebeltal.png",
      locationX = 332,
      locationY = 310,
      locationText = "CHAPTER_1_PLACE",
    },
    MakeAdventureScreen{
      seqId = 120001,
      bg = "images/scenes/lichtung.png",
      nextScene = -1,
      initScript = "scripts/scenes/lichtung.lua",
      -- A bird calls now and then: three to six seconds after the last call.
      atmo = "sounds/lichtung.ogg",
      minLoop = 3,
      maxLoop = 6,
    },
  },
}
