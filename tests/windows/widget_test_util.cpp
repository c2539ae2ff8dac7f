#include "widget_test_util.h"

#include "graphics/device/golden_png.h"
#include "graphics/renderer.h"
#include "graphics/text/font_cache.h"
#include "platform/file_map.h"
#include "windows/screen.h"

void TWidgetTest::SetUp() {
  TScriptTest::SetUp();
  ASSERT_TRUE(mDisplay.Open(Width, Height));
  mDraw.SetSpanSink(&TRenderer::GetInstance()->GetSpanSink());
  SetTextRasteriser(&mDraw);

  auto host = std::make_unique<TClipboardHost>();
  mClipboard = host.get();
  mHost = host.get();
  mManager = std::make_unique<TWindowManager>(std::move(host));
  mManager->InitScript();
  mManager->EnsureScreen(Width, Height);
  WindowCast<TScreen>(Screen())->SetClearColor(TColor{0.1f, 0.1f, 0.15f, 1});
}

void TWidgetTest::TearDown() {
  mManager.reset();
  TFontCache::Clear();
  SetTextRasteriser(nullptr);
  mDisplay.Close();
  TWindowsTest::TearDown();
}

void TWidgetTest::WriteImage(const char* name, uint32_t width, uint32_t height,
                             const std::function<uint32_t(uint32_t, uint32_t)>& pixel) {
  std::vector<uint32_t> argb(size_t(width) * height);
  for (uint32_t y = 0; y < height; y++) {
    for (uint32_t x = 0; x < width; x++) argb[size_t(y) * width + x] = pixel(x, y);
  }
  ASSERT_TRUE(WriteGoldenPng((mRoot / (std::string("assets/") + name).c_str()).ToStd(), argb, width, height));
  InitAssetFolders();
}

void TWidgetTest::Build(const std::string& lua) { ASSERT_EQ(Lua(lua), "") << lua; }

void TWidgetTest::Key(int32_t key, uint32_t modifiers, int32_t character) {
  Send(EventKeyDown, 0, 0, key, modifiers);
  if (character) Send(EventUnicodeChar, 0, 0, character);
}

void TWidgetTest::Type(const std::string& utf8) {
  for (size_t at = 0; at < utf8.size();) {
    int length = Utf8SequenceLength(utf8.c_str() + at);
    if (length < 1) break;
    Send(EventUnicodeChar, 0, 0, int32_t(Utf8Decode(utf8.c_str() + at)));
    at += size_t(length);
  }
}

std::vector<std::string> TWidgetTest::ScriptMessages() {
  std::vector<std::string> seen;
  EXPECT_EQ(Lua("gSeen = {}; while table.getn(gMessageQueue) > 0 do"
                "  local m = table.remove(gMessageQueue, 1); table.insert(gSeen, m.type .. ':' .. m.name) end"),
            "");
  int count = 0;
  EXPECT_EQ(LuaError(L(), "gCount = table.getn(gSeen)"), "");
  count = std::stoi(Global("gCount"));
  for (int i = 1; i <= count; i++) {
    EXPECT_EQ(Lua("gOne = gSeen[" + std::to_string(i) + "]"), "");
    seen.push_back(Global("gOne"));
  }
  return seen;
}

const std::vector<uint32_t>& TWidgetTest::Frame() {
  FakeNow += 1000;
  Manager().Invalidate();
  Send(EventIdle);
  return mDisplay.Shown();
}
