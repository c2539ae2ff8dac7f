// Writes the fixtures of the sprite tests into tests/fixtures/graphics: animations in both
// description forms with their sheet, meshes, the files the asset map looks up by name,
// and broken animation and mesh files (counts and lengths past the end, short files).
//   build-*/bin/make_sprite_fixtures tests/fixtures/graphics

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/device/golden_png.h"
#include "graphics/sprites/sprite_test_util.h"

namespace {

std::string gFolder;

void Bytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  if (!WriteFileBytes(gFolder + "/" + name, bytes)) std::fprintf(stderr, "cannot write %s\n", name.c_str());
}

void Text(const std::string& name, const std::string& text) { Bytes(name, std::vector<uint8_t>(text.begin(), text.end())); }

// A cut copy: the first `size' bytes.
std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(std::min(size, bytes.size()));
  return bytes;
}

void Png(const std::string& name, uint32_t width, uint32_t height, uint32_t (*paint)(uint32_t, uint32_t)) {
  std::vector<uint32_t> pixels;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) pixels.push_back(paint(x, y));
  std::filesystem::path path = gFolder + "/" + name;
  std::filesystem::create_directories(path.parent_path());
  if (!WriteGoldenPng(path.string(), pixels, width, height))
    std::fprintf(stderr, "cannot write %s\n", name.c_str());
}

// Three 16x16 frames side by side: a red, a green and a blue figure on transparency.
uint32_t WalkSheet(uint32_t x, uint32_t y) {
  uint32_t frame = x / 16, fx = x % 16;
  bool body = fx >= 4 && fx < 12 && y >= 2 && y < 16;
  static const uint32_t colours[] = {0xD03030u, 0x30B040u, 0x3050D0u};
  return body ? 0xFF000000u | colours[frame] : 0;
}

uint32_t Key(uint32_t x, uint32_t y) { return (x + y) % 3 ? 0xFFE0C040u : 0x80E0C040u; }

TAnimSpec Walk() {
  TAnimSpec spec;
  spec.name = "walk";
  spec.source = "made by make_sprite_fixtures";
  spec.image = "walk.png";
  spec.regX = 8, spec.regY = 16, spec.sheetWidth = 48, spec.sheetHeight = 16;
  for (int i = 0; i < 3; ++i) {
    TAnimFrameSpec f;
    f.x = 16 * i, f.y = 0, f.w = 16, f.h = 16, f.regX = 8, f.regY = 16 - i;
    f.name = "step" + std::to_string(i + 1);
    f.alpha = i == 2 ? 0.5f : 1.0f;
    if (i == 1) f.anchors = {{"hand", 13, 7}, {"foot", 9, 15}};
    if (i == 2) {
      f.hasXform = true;
      float m[6] = {1, 0, 0, 1, 2, -1};
      std::copy(m, m + 6, f.xform);
    }
    spec.frames.push_back(f);
  }
  spec.script =
      "function DoAnim() delay(40); frames{1,2,3,2}; pause(100); loop(2, {3,1}); end "
      "function Wave() delay(20); fadeout(2); frames{2,3,1}; end";
  return spec;
}

void WriteAnimations() {
  Png("anim/walk.png", 48, 16, WalkSheet);
  // The two forms differ only in their source text, which tells which one was read.
  TAnimSpec walk = Walk(), walkAnm = Walk();
  walkAnm.source += " (anm)";
  Text("anim/walk.xml", WriteAnimXml(walk));
  Bytes("anim/walk.anm", WriteAnm(walkAnm));
  Bytes("anim/walk_v1.anm", WriteAnm(walkAnm, 1));
  TAnimSpec blink = walk;  // no script: the generated one plays
  blink.name = "blink";
  blink.script.clear();
  Text("anim/blink.xml", WriteAnimXml(blink));
  blink.source += " (anm)";
  Bytes("anim/blink.anm", WriteAnm(blink));

  std::vector<uint8_t> good = WriteAnm(walkAnm);
  TAnimSpec one = walkAnm;
  one.frames.resize(1);
  std::vector<uint8_t> single = WriteAnm(one);
  size_t frameCountAt = 4 + 4 + 4 + 4 + walk.name.size() + 4 + walkAnm.source.size() + 4 + 16 + 4 +
                        walk.image.size() + 4 + walk.mask.size() + 4;
  auto patch = [](std::vector<uint8_t> bytes, size_t at, int32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(uint32_t(value) >> (8 * i));
    return bytes;
  };
  Bytes("anim/cut_header.anm", Cut(good, 6));
  Bytes("anim/name_overrun.anm", patch(good, 12, 0x7FFFFFFF));
  Bytes("anim/frame_count_overrun.anm", patch(single, frameCountAt, 100000));
  Bytes("anim/negative_frame_count.anm", patch(single, frameCountAt, -3));
  // The second frame's anchor count, after its name.
  size_t secondFrame = frameCountAt + 4 + (6 * 4 + 4 + 6 * 4 + 4 + walk.frames[0].name.size() + 4);
  size_t anchorCountAt = secondFrame + 6 * 4 + 4 + 6 * 4 + 4 + walk.frames[1].name.size();
  Bytes("anim/anchor_count_overrun.anm", patch(good, anchorCountAt, 50000000));
  // Ten bytes short of the last frame's end: the count still fits, the frame does not.
  Bytes("anim/cut_in_frame.anm", Cut(good, good.size() - 8 - walk.script.size() - 10));
  Bytes("anim/script_overrun.anm", patch(good, good.size() - walk.script.size() - 4, 1 << 20));
  std::vector<uint8_t> wrongTag = good;
  wrongTag[0] = 'X';
  Bytes("anim/wrong_tag.anm", wrongTag);
}

void WriteMeshes() {
  std::vector<std::array<float, 8>> quad = {{-3, 3, 2, 0, 0, -1, 0, 0},
                                            {3, 3, 2, 0, 0, -1, 1, 0},
                                            {-3, -3, 2, 0, 0, -1, 0, 1},
                                            {3, -3, 2, 0, 0, -1, 1, 1}};
  std::vector<uint16_t> indices = {0, 1, 2, 1, 3, 2};
  std::vector<uint8_t> good = WriteMesh(quad, indices);
  Bytes("mesh/quad.mesh", good);
  Bytes("mesh/cut_header.mesh", Cut(good, 5));
  Bytes("mesh/cut_vertices.mesh", Cut(good, 8 + 16 * 2 + 3));
  Bytes("mesh/cut_indices.mesh", Cut(good, good.size() - 1));
  Bytes("mesh/bad_index.mesh", WriteMesh(quad, {0, 1, 4}));
  std::vector<uint8_t> wrongTag = good;
  wrongTag[3] = 'X';
  Bytes("mesh/wrong_tag.mesh", wrongTag);
}

// What the asset map finds by name: a picture, an animation beside a picture of the same
// name, a script, a text file no loader takes.
void WriteAssetMapFiles() {
  Png("sprites/key.png", 6, 6, Key);
  Png("sprites/door.png", 48, 16, WalkSheet);
  TAnimSpec door = Walk();
  door.name = "door";
  door.image = "door.png";
  door.script.clear();
  Text("sprites/door.xml", WriteAnimXml(door));
  Text("sprites/spin.lua", "gSpin = 1\n");
  Text("sprites/notes.txt", "not an asset\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s tests/fixtures/graphics\n", argv[0]);
    return 1;
  }
  gFolder = argv[1];
  WriteAnimations();
  WriteMeshes();
  WriteAssetMapFiles();
  return 0;
}
