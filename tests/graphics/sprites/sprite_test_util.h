#pragma once
// Helpers of the sprite, animation, mesh and asset-map tests: textures that record how
// they are drawn, textures painted in code on the display rig, and writers of our own
// ".anm" and ".mesh" files.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/texture.h"

// A texture without pixels that reports a size and records every draw.
class TRecordingTexture : public TTexture {
 public:
  struct TDraw {
    std::string name;
    TSpriteDrawParams params;
  };

  TRecordingTexture(std::string name, uint32_t width, uint32_t height, std::vector<TDraw>* log)
      : mName(std::move(name)), mWidth(width), mHeight(height), mLog(log) {}
  void DrawSprite(const TSpriteDrawParams& params) override { mLog->push_back({mName, params}); }
  uint32_t GetWidth() const override { return mWidth; }
  uint32_t GetHeight() const override { return mHeight; }

 private:
  std::string mName;
  uint32_t mWidth, mHeight;
  std::vector<TDraw>* mLog;
};

// A texture of width x height whose pixel (x, y) is paint(x, y) (0xAARRGGBB); needs a
// display (the rig's).
std::shared_ptr<TTexture> PaintTexture(uint32_t width, uint32_t height,
                                       const std::function<uint32_t(uint32_t, uint32_t)>& paint);

// Little-endian byte writer of the binary test files.
class TByteWriter {
 public:
  TByteWriter& Tag(const char* tag);
  TByteWriter& U16(uint16_t value);
  TByteWriter& S16(int16_t value);
  TByteWriter& S32(int32_t value);
  TByteWriter& F32(float value);
  // A 32-bit length, then the bytes.
  TByteWriter& Str(const std::string& text);
  const std::vector<uint8_t>& Bytes() const { return mBytes; }
  size_t Size() const { return mBytes.size(); }

 private:
  std::vector<uint8_t> mBytes;
};

// One frame of an animation as both file kinds describe it.
struct TAnimFrameSpec {
  int32_t x = 0, y = 0, w = 0, h = 0, regX = 0, regY = 0;
  float alpha = 1.0f;
  bool hasXform = false;
  float xform[6] = {};
  std::string name;
  struct TAnchor {
    std::string name;
    int32_t x, y;
  };
  std::vector<TAnchor> anchors;
};

struct TAnimSpec {
  std::string name, source, image, mask, script;
  int32_t regX = 0, regY = 0, sheetWidth = 0, sheetHeight = 0;
  std::vector<TAnimFrameSpec> frames;
};

// The animation as an ".anm" chunk file of the given version (1: four unused floats after
// the image sizes and no frame alpha; 2 and later: the frame alpha).
std::vector<uint8_t> WriteAnm(const TAnimSpec& spec, int32_t version = 2);
// The same animation as an ".xml" description.
std::string WriteAnimXml(const TAnimSpec& spec);
// A ".mesh" file: "TRIS", the counts, the stored values (x 1000) and the indices.
std::vector<uint8_t> WriteMesh(const std::vector<std::array<float, 8>>& vertices, const std::vector<uint16_t>& indices);

// Writes bytes or text to a file (folders made as needed); false on failure.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteFileText(const std::string& path, const std::string& text);
