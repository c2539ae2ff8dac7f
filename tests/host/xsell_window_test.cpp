// The cross-promotion page made by a window script and filled from the demo's
// "xsell/xsell.xml" and from small pages of the tests' own: texts with link tags, unused
// slots hidden, buttons and logos centred on their layout points, and links opened only
// when they are web addresses.

#include "host/xsell_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host_platform.h"
#include "host/host_windows.h"
#include "windows/text_window.h"
#include "windows/windows_test_util.h"

namespace {

class TBrowserPlatform : public IHostPlatform {
 public:
  bool OpenUrl(const TString& url) override {
    opened.push_back(url.ToStd());
    return true;
  }
  std::vector<std::string> opened;
};

// Eight slots of a description and a button each, the logos, the site link and the centre
// texts; the slots' buttons stand at (400, 300 + 60 n) and are 101 x 51.
std::string PageScript(const char* style) {
  std::string script = std::string("PushModal('xsell'); XSellWindow{ name = 'page', x = 0, y = 0, w = 640, h = 480") + style;
  for (int n = 1; n <= 8; n++) {
    script += ", Text{ name = 'descrip" + std::to_string(n) + "', x = 10, y = " + std::to_string(40 * n) +
              ", w = 300, h = 30 }";
    script += ", Window{ name = 'xsellbutton" + std::to_string(n) + "', x = 400, y = " + std::to_string(60 * n) +
              ", w = 101, h = 51 }";
  }
  script += ", Window{ name = 'gamesite', x = 100, y = 400, w = 40, h = 20 }";
  script += ", Window{ name = 'sitelogo', x = 200, y = 400, w = 41, h = 21 }";
  script += ", Text{ name = 'centertext1', x = 0, y = 0, w = 200, h = 20 }";
  script += ", Text{ name = 'centertext2', x = 0, y = 20, w = 200, h = 20 } }()";
  return script;
}

class XSellWindowTest : public TWindowsTest {
 protected:
  void SetUp() override {
    TWindowsTest::SetUp();
    SetHostPlatform(&mBrowser);
    InstallHostWindows(Manager());
  }
  void TearDown() override {
    SetHostPlatform(nullptr);
    SetMovieHostMaker(nullptr);
    TWindowsTest::TearDown();
  }
  TXSellWindow* MakePage(const char* style = "") {
    EXPECT_EQ(Lua(PageScript(style)), "");
    return WindowCast<TXSellWindow>(Manager().GetTopModal()->FindChild("page"));
  }
  std::string Text(const char* name) {
    TText* text = WindowCast<TText>(Manager().GetTopModal()->FindChild(name));
    return text ? text->GetText().ToStd() : "<none>";
  }
  bool Shown(const std::string& name) { return Manager().GetTopModal()->FindChild(name.c_str())->IsVisible(); }
  TPoint Place(const char* name) {
    TWindow* window = Manager().GetTopModal()->FindChild(name);
    return TPoint(window->GetLeft(), window->GetTop());
  }

  TBrowserPlatform mBrowser;
};

}  // namespace

TEST_F(XSellWindowTest, TheDemoPageFillsItsSlotsAndCentresItsButtons) {
  WriteAsset("xsell/xsell.xml", ReadTextFile(TARVELON_SOURCE_DIR "/assets/xsell/xsell.xml"));
  ASSERT_NE(MakePage(), nullptr);
  ASSERT_EQ(Lua("SetupXSell()"), "");

  EXPECT_EQ(Text("descrip1"),
            "Leuchtturm der Möwen: Hilf der Wärterin Ilka, das verlorene Licht der Insel Skarn wiederzufinden. "
            "<u><font color=\"003cff\"><a id='xsellbutton1'>Jetzt ansehen</a></font></u>");
  EXPECT_EQ(Text("descrip3"), "Gärten im Mondlicht: Ein stilles Suchspiel in verwunschenen Gärten.") << "no link text";
  EXPECT_EQ(Text("centertext1"), "Mehr Abenteuer aus dem Nebeltal-Studio");
  for (int n = 1; n <= 8; n++) {
    SCOPED_TRACE(n);
    EXPECT_EQ(Shown("descrip" + std::to_string(n)), n <= 3);
    EXPECT_EQ(Shown("xsellbutton" + std::to_string(n)), n <= 3);
  }
  EXPECT_TRUE(Shown("gamesite"));
  // Without autoexpand the screen position, less half the size, becomes the position.
  EXPECT_EQ(Place("xsellbutton5"), TPoint(350, 275));
  EXPECT_EQ(Place("xsellbutton8"), TPoint(400, 480)) << "the eighth button keeps its place";
  EXPECT_EQ(Place("sitelogo"), TPoint(180, 390));

  ASSERT_EQ(Lua("LaunchGameLink(2); LaunchGameLink(0)"), "");
  EXPECT_EQ(mBrowser.opened,
            (std::vector<std::string>{"https://games.example.org/uhrmacherin", "https://www.example.org/spiele"}));
}

TEST_F(XSellWindowTest, LinksStayWithinTheirSlotsAndOnlyWebAddressesOpen) {
  std::string page = "<xsell>";
  for (int n = 1; n <= 9; n++)
    page += "<gameinfo description=\"Spiel " + std::to_string(n) + "\" linktext=\"\" link=\"https://example.org/" +
            std::to_string(n) + "\"/>";
  page += "<gameinfo description=\"zu viel\" link=\"https://example.org/x\"/></xsell>";
  WriteAsset("xsell/many.xml", page);
  WriteAsset("xsell/odd.xml",
             "<xsell><gameinfo description=\"Datei\" link=\"file:///etc/passwd\"/>"
             "<gameinfo description=\"Skript\" link=\"javascript:alert(1)\"/></xsell>");

  ASSERT_NE(MakePage(", config = 'xsell/many.xml'"), nullptr);
  ASSERT_EQ(Lua("SetupXSell(); for i = -1, 10 do LaunchGameLink(i) end"), "");
  EXPECT_EQ(Text("descrip8"), "Spiel 8");
  EXPECT_TRUE(Shown("descrip8"));
  // The eighth entry has a slot of its own; the ninth has none, and nothing past the slots
  // is read; without a site link "gamesite" goes and link 0 opens nothing.
  std::vector<std::string> expected;
  for (int n = 1; n <= 8; n++) expected.push_back("https://example.org/" + std::to_string(n));
  EXPECT_EQ(mBrowser.opened, expected);
  EXPECT_FALSE(Shown("gamesite"));

  mBrowser.opened.clear();
  ASSERT_NE(MakePage(", config = 'xsell/odd.xml'"), nullptr);
  ASSERT_EQ(Lua("SetupXSell(); LaunchGameLink(1); LaunchGameLink(2)"), "");
  EXPECT_TRUE(mBrowser.opened.empty());
}

TEST_F(XSellWindowTest, AMissingConfigurationHidesEverySlotAndAutoexpandCentresInTheParent) {
  // The page itself stands at (100, 50): its buttons' screen points lie that much further.
  ASSERT_NE(MakePage(", config = 'xsell/none.xml', autoexpand = true, x = 100, y = 50"), nullptr);
  ASSERT_EQ(Lua("SetupXSell()"), "");
  EXPECT_EQ(Text("descrip1"), "");
  for (int n = 1; n <= 8; n++) EXPECT_FALSE(Shown("xsellbutton" + std::to_string(n))) << n;
  EXPECT_EQ(Place("xsellbutton2"), TPoint(350, 95));
}
