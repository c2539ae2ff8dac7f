// The authoring guide's examples (docs/authoring.md): every fenced Lua block compiles, every
// Lua and XML block still stands in one of the demo's files as it is quoted, and every
// scene record builds its scene of its kind. A quote may leave lines of the demo out and
// may add comment lines of its own, so that the guide can shorten a long record.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "model/game.h"
#include "model_compositor_test_util.h"
#include "platform/test_util.h"
#include "script/lua/lauxlib.h"

namespace {

struct TBlock {
  std::string language;
  std::string text;
  int line = 0;  // of the opening fence, for the failure message
};

std::vector<TBlock> FencedBlocks(const std::string& markdown) {
  std::vector<TBlock> blocks;
  TBlock* open = nullptr;
  std::istringstream in(markdown);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.rfind("```", 0) == 0) {
      if (open) {
        open = nullptr;
      } else {
        blocks.push_back({line.substr(3), "", number});
        open = &blocks.back();
      }
    } else if (open) {
      open->text += line + "\n";
    }
  }
  return blocks;
}

// Without surrounding blanks and a final comma: a record quoted on its own has no comma
// after it, the same record inside the demo's table has one.
std::string Normalized(const std::string& line) {
  size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  size_t last = line.find_last_not_of(" \t\r");
  std::string text = line.substr(first, last - first + 1);
  if (!text.empty() && text.back() == ',') text.pop_back();
  return text;
}

std::vector<std::string> Lines(const std::string& text, bool dropComments) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::string normal = Normalized(line);
    if (normal.empty() || (dropComments && normal.rfind("--", 0) == 0)) continue;
    lines.push_back(normal);
  }
  return lines;
}

// The quoted lines in their order among the file's lines.
bool QuotedFrom(const std::vector<std::string>& quote, const std::vector<std::string>& file) {
  size_t at = 0;
  for (const std::string& line : file)
    if (at < quote.size() && line == quote[at]) ++at;
  return at == quote.size();
}

class TAuthoringGuideTest : public TModelTextTest {
 protected:
  void SetUp() override {
    TModelTextTest::SetUp();
    mBlocks = FencedBlocks(ReadTextFile(TARVELON_SOURCE_DIR "/docs/authoring.md"));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TARVELON_SOURCE_DIR "/assets")) {
      std::string extension = entry.path().extension().string();
      if (entry.is_regular_file() && (extension == ".lua" || extension == ".xml"))
        mDemoFiles.push_back(Lines(ReadTextFile(entry.path().string().c_str()), false));
    }
  }

  bool InTheDemo(const TBlock& block) const {
    std::vector<std::string> quote = Lines(block.text, block.language == "lua");
    for (const auto& file : mDemoFiles)
      if (QuotedFrom(quote, file)) return true;
    return false;
  }

  std::vector<TBlock> mBlocks;
  std::vector<std::vector<std::string>> mDemoFiles;
};

TEST_F(TAuthoringGuideTest, ExamplesCompileAndStandInTheDemo) {
  int luaBlocks = 0;
  for (const TBlock& block : mBlocks) {
    if (block.language != "lua" && block.language != "xml") continue;
    EXPECT_TRUE(InTheDemo(block)) << "the example at line " << block.line << " is not quoted from the demo";
    if (block.language != "lua") continue;
    ++luaBlocks;
    int top = lua_gettop(L());
    EXPECT_EQ(luaL_loadbuffer(L(), block.text.data(), block.text.size(), "=guide"), 0)
        << "line " << block.line << ": " << (lua_tostring(L(), -1) ? lua_tostring(L(), -1) : "");
    lua_settop(L(), top);
  }
  EXPECT_GT(luaBlocks, 0) << "the guide has no ```lua examples";
}

TEST_F(TAuthoringGuideTest, SceneExamplesBuildTheirScenes) {
  const std::regex sceneRecord(R"(^(Make\w+)\{\n\s*seqId = (\d+),)");
  int scenes = 0;
  for (const TBlock& block : mBlocks) {
    std::smatch match;
    if (block.language != "lua" || !std::regex_search(block.text, match, sceneRecord)) continue;
    ++scenes;
    std::string make = match[1];
    int32_t seqId = std::stoi(match[2]);
    CGame::DestroyInstance();
    CGame::CreateInstance();
    Run("MakeGame{ MakeLevel{ seqId = 1,\n" + block.text + "} }");
    CScene* scene = Game().FindScene(seqId);
    ASSERT_TRUE(scene) << make << " at line " << block.line << " builds no scene " << seqId;
    EXPECT_TRUE(scene->IsOfType(int(EvalNumber(make + "{}.modeltype")))) << make;
  }
  EXPECT_GT(scenes, 0);
}

}  // namespace
