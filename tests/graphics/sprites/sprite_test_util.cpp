#include "graphics/sprites/sprite_test_util.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

TByteWriter& TByteWriter::Tag(const char* tag) {
  mBytes.insert(mBytes.end(), tag, tag + 4);
  return *this;
}

TByteWriter& TByteWriter::U16(uint16_t value) {
  mBytes.push_back(uint8_t(value));
  mBytes.push_back(uint8_t(value >> 8));
  return *this;
}

TByteWriter& TByteWriter::S16(int16_t value) { return U16(uint16_t(value)); }

TByteWriter& TByteWriter::S32(int32_t value) {
  uint32_t v = uint32_t(value);
  for (int i = 0; i < 4; ++i) mBytes.push_back(uint8_t(v >> (8 * i)));
  return *this;
}

TByteWriter& TByteWriter::F32(float value) {
  int32_t bits;
  std::memcpy(&bits, &value, 4);
  return S32(bits);
}

TByteWriter& TByteWriter::Str(const std::string& text) {
  S32(int32_t(text.size()));
  mBytes.insert(mBytes.end(), text.begin(), text.end());
  return *this;
}

std::shared_ptr<TTexture> PaintTexture(uint32_t width, uint32_t height,
                                       const std::function<uint32_t(uint32_t, uint32_t)>& paint) {
  auto texture = TTexture::CreateRenderTarget(width, height, true);
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (!texture || !texture->Lock(pixels, pitch)) return nullptr;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) pixels[size_t(y) * pitch + x] = paint(x, y);
  texture->Unlock();
  return texture;
}

std::vector<uint8_t> WriteAnm(const TAnimSpec& spec, int32_t version) {
  TByteWriter w;
  w.Tag("ANIM").S32(0).S32(version).Str(spec.name).Str(spec.source);
  w.Tag("IMGN").S32(spec.regX).S32(spec.regY).S32(spec.sheetWidth).S32(spec.sheetHeight);
  if (version == 1) w.F32(0).F32(0).F32(0).F32(0);
  w.Str(spec.image).Str(spec.mask);
  w.Tag("FRMS").S32(int32_t(spec.frames.size()));
  for (const TAnimFrameSpec& f : spec.frames) {
    w.S32(f.regX).S32(f.regY).S32(f.x).S32(f.y).S32(f.w).S32(f.h);
    if (version > 1) w.F32(f.alpha);
    if (f.hasXform) {
      for (float v : f.xform) w.F32(v);
    } else {
      w.F32(-10000000.0f).F32(0).F32(0).F32(0).F32(0).F32(0);
    }
    w.Str(f.name).S32(int32_t(f.anchors.size()));
    for (const auto& anchor : f.anchors) w.S32(anchor.x).S32(anchor.y).Str(anchor.name);
  }
  if (!spec.script.empty()) w.Tag("SCRP").Str(spec.script);
  return w.Bytes();
}

namespace {

std::string Number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", double(value));
  return text;
}

}  // namespace

std::string WriteAnimXml(const TAnimSpec& spec) {
  std::string x = "<?xml version=\"1.0\"?>\n<sequence name=\"" + spec.name + "\" source=\"" + spec.source + "\">\n";
  x += "  <img name=\"" + spec.image + "\" mask=\"" + spec.mask + "\" w=\"" + std::to_string(spec.sheetWidth) +
       "\" h=\"" + std::to_string(spec.sheetHeight) + "\" regx=\"" + std::to_string(spec.regX) + "\" regy=\"" +
       std::to_string(spec.regY) + "\"/>\n  <framelist>\n";
  for (const TAnimFrameSpec& f : spec.frames) {
    x += "    <frame name=\"" + f.name + "\" x=\"" + std::to_string(f.x) + "\" y=\"" + std::to_string(f.y) +
         "\" w=\"" + std::to_string(f.w) + "\" h=\"" + std::to_string(f.h) + "\" regx=\"" + std::to_string(f.regX) +
         "\" regy=\"" + std::to_string(f.regY) + "\" alpha=\"" + Number(f.alpha) + "\"";
    if (f.hasXform) {
      x += " xform=\"";
      for (int i = 0; i < 6; ++i) x += (i ? " " : "") + Number(f.xform[i]);
      x += "\"";
    }
    x += ">\n";
    for (const auto& anchor : f.anchors)
      x += "      <anchor name=\"" + anchor.name + "\" x=\"" + std::to_string(anchor.x) + "\" y=\"" +
           std::to_string(anchor.y) + "\"/>\n";
    x += "    </frame>\n";
  }
  x += "  </framelist>\n";
  if (!spec.script.empty()) x += "  <script luascript=\"" + spec.script + "\"/>\n";
  return x + "</sequence>\n";
}

std::vector<uint8_t> WriteMesh(const std::vector<std::array<float, 8>>& vertices, const std::vector<uint16_t>& indices) {
  TByteWriter w;
  w.Tag("TRIS").U16(uint16_t(vertices.size())).U16(uint16_t(indices.size() / 3));
  for (const auto& vertex : vertices)
    for (float v : vertex) w.S16(int16_t(std::lround(v * 1000.0f)));
  for (uint16_t index : indices) w.U16(index);
  return w.Bytes();
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}

bool WriteFileText(const std::string& path, const std::string& text) {
  return WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}
