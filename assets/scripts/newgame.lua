-- The new game: the first level, "Ankunft im Nebeltal", with its chapter screen, the
-- clearing (an adventure screen), the shed (a hidden-object scene) and grandpa's living room
-- (a placing-object scene), both reached from the clearing and going back to it.
require("scripts/game/objectives.lua")

MakeGame{
  name = "Das Geheimnis des Nebeltals",
  startScene = 100001,
  -- The sidebar: the hint orb's frames, the buttons' plates; the sounds and the text of an
  -- item used or not.
  hintSprite = "images/sidebar/hint",
  hintCount = 8,
  sidebarHelpButtonGraphic = "images/sidebar/button.png",
  sidebarMenuButtonGraphic = "images/sidebar/button.png",
  sidebarDiaryButtonGraphic = "images/sidebar/button.png",
  sidebarLightButtonGraphic = "images/sidebar/button.png",
  canUseItemSound = "sounds/use_ok.ogg",
  canNotUseItemSound = "sounds/use_fail.ogg",
  canNotUseItemText = "CANNOT_USE",
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
      showLightButton = "true",
      -- Grandpa's lantern lies in the grass; lit, it shows what lies in the dark well.
      MakeSceneObject{ id = "laterne", image = "images/objects/laterne.png", positionX = 700, positionY = 540,
        timesPickable = 1, invitem = "laterne", text = "LICHTUNG_LATERNE", isActive = "true",
        MakeActionMap{ { "OnPickedUp", "SetVisible('laterne', false)" } } },
      MakeSceneObject{ id = "brunnen", image = "images/objects/brunnen.png", positionX = 300, positionY = 420,
        isActive = "false" },
      MakeSceneObject{ id = "brunnen_licht", image = "images/objects/brunnen_licht.png", positionX = 295,
        positionY = 410, isActive = "false", isVisible = "false" },
      MakeSceneHotspot{ id = "brunnen", text = "LICHTUNG_BRUNNEN", isActive = "true",
        positionX1 = 300, positionY1 = 420, positionX2 = 450, positionY2 = 420,
        positionX3 = 450, positionY3 = 570, positionX4 = 300, positionY4 = 570 },
      MakeSceneExit{ id = "1_200_adv_exit_schuppen", nextScene = 190101, text = "EXIT_SCHUPPEN", isActive = "true",
        cursorstyleid = 5, image = "images/objects/wegweiser.png", imagePositionX = 880, imagePositionY = 400,
        positionX1 = 880, positionY1 = 400, positionX2 = 1000, positionY2 = 400,
        positionX3 = 1000, positionY3 = 520, positionX4 = 880, positionY4 = 520 },
      MakeSceneExit{ id = "1_200_adv_exit_haus", nextScene = 110101, text = "EXIT_HAUS", isActive = "true",
        cursorstyleid = 5, image = "images/objects/wegweiser.png", imagePositionX = 190, imagePositionY = 200,
        positionX1 = 190, positionY1 = 200, positionX2 = 310, positionY2 = 200,
        positionX3 = 310, positionY3 = 320, positionX4 = 190, positionY4 = 320 },
    },
    -- The shed: ten things on the shelves and the floor, tools and candles in groups; the
    -- rusty key is the reward.
    MakeHiddenObjectGame{
      seqId = 190101,
      bg = "images/scenes/schuppen.png",
      nextScene = 120001,
      showLightButton = "true",
      itemListCount = 6,
      hitClickSound = "sounds/hit.ogg",
      missClickSound = "sounds/miss.ogg",
      pickedUpInventoryItemOnWon = "schluessel",
      MakeFixItems{ "eimer", "buch", "tasse", "uhr" },
      MakeHiddenObject{ id = "eimer", name = "HOG_EIMER", image = "images/objects/eimer.png", positionX = 300, positionY = 570 },
      MakeHiddenObject{ id = "buch", name = "HOG_BUCH", image = "images/objects/buch.png", positionX = 640, positionY = 160 },
      MakeHiddenObject{ id = "tasse", name = "HOG_TASSE", image = "images/objects/tasse.png", positionX = 860, positionY = 350 },
      MakeHiddenObject{ id = "uhr", name = "HOG_UHR", image = "images/objects/uhr.png", positionX = 420, positionY = 350 },
      MakeHOGGroup{ groupName = "WERKZEUG",
        MakeHiddenObject{ id = "hammer", name = "HOG_HAMMER", image = "images/objects/hammer.png", positionX = 300, positionY = 160 },
        MakeHiddenObject{ id = "zange", name = "HOG_ZANGE", image = "images/objects/zange.png", positionX = 520, positionY = 350 },
        MakeHiddenObject{ id = "saege", name = "HOG_SAEGE", image = "images/objects/saege.png", positionX = 760, positionY = 575 } },
      MakeHOGGroup{ groupName = "KERZEN",
        MakeHiddenObject{ id = "kerze_weiss", name = "HOG_KERZE", image = "images/objects/kerze_weiss.png", positionX = 420, positionY = 160 },
        MakeHiddenObject{ id = "kerze_rot", name = "HOG_KERZE", image = "images/objects/kerze_rot.png", positionX = 880, positionY = 160 },
        MakeHiddenObject{ id = "kerze_blau", name = "HOG_KERZE", image = "images/objects/kerze_blau.png", positionX = 640, positionY = 350 } },
      MakeMinItemsCount{ MakeMinItemsGroupCount{ groupName = "WERKZEUG", minItems = 2 } },
    },
    -- Grandpa's living room: his picture frame and oil can go back on the shelf.
    MakePlacingObjectGame{
      seqId = 110101,
      bg = "images/scenes/wohnraum.png",
      nextScene = 120001,
      showLightButton = "true",
      MakeInventory{ "bilderrahmen", "oelkanne" },
      MakeSceneObject{ id = "platz_rahmen", image = "images/objects/platz_rahmen.png", positionX = 380, positionY = 270,
        text = "WOHNRAUM_PLATZ", isActive = "true" },
      MakeSceneObject{ id = "platz_kanne", image = "images/objects/platz_kanne.png", positionX = 680, positionY = 270,
        text = "WOHNRAUM_PLATZ", isActive = "true" },
      MakeSceneObject{ id = "rahmen", image = "images/objects/rahmen.png", positionX = 380, positionY = 270,
        isActive = "false", isVisible = "false" },
      MakeSceneObject{ id = "kanne", image = "images/objects/kanne.png", positionX = 680, positionY = 270,
        isActive = "false", isVisible = "false" },
    },
    -- Chapter 1's mini-games: the garden maze and the dream dive.

    -- Chapter 1's mini-games: the well's mosaic, grandpa's picture cards and the walk to the villa.

  },
  -- Chapter 2, "Das Geheimnis der Villa": its scenes are added as the game grows.
  MakeLevel{
    seqId = 2,
    name = "Das Geheimnis der Villa",
    -- The cutscenes (chapter 1 has its own beside its chapter screen).

    -- The workbench's potion and the torn letter.

    -- The safe's code and the villa's door lock.

    -- The portraits, the gallery and the game against Adelheid.

  },
  -- The things Mara carries: the strip's picture, the pick-up window's picture and text, and
  -- what each does where.
  MakeInventoryItem{ id = "laterne", name = "laterne", description = "ITEM_LATERNE",
    image = "images/items/laterne.png", pickUpImage = "images/items/laterne_gross.png",
    MakeActionMap{ { "brunnen", "UseLanternOnWell()" } } },
  MakeInventoryItem{ id = "schluessel", name = "schluessel", description = "ITEM_SCHLUESSEL",
    image = "images/items/schluessel.png", pickUpImage = "images/items/schluessel_gross.png" },
  MakeInventoryItem{ id = "bilderrahmen", name = "bilderrahmen", description = "ITEM_BILDERRAHMEN",
    image = "images/items/bilderrahmen.png", pickUpImage = "images/items/bilderrahmen_gross.png",
    MakeActionMap{ { "platz_rahmen", "PutBack('bilderrahmen', 'platz_rahmen', 'rahmen')" } } },
  MakeInventoryItem{ id = "oelkanne", name = "oelkanne", description = "ITEM_OELKANNE",
    image = "images/items/oelkanne.png", pickUpImage = "images/items/oelkanne_gross.png",
    MakeActionMap{ { "platz_kanne", "PutBack('oelkanne', 'platz_kanne', 'kanne')" } } },
  -- The score: a find in the shed is worth more the quicker the next follows; five misses
  -- within four seconds turn the pointer for three.
  MakeHighscoreSystem{
    HOTaskCompleteBonus = 500,
    foundInventoryItemBonus = 100,
    usedInventoryItemSuccessfullyBonus = 100,
    clicksNeedForPenalty = 5,
    timeForClicksForPenalty = 4,
    timeForPenalty = 3,
    MakeHOFoundBonus{ 50, 75, 100 },
    MakeHintUsedInLevelBonus{ 300, 200, 100 },
  },
}
