// PNG reading and writing on libpng through the file layer. libpng reports errors by
// longjmp: every function that calls setjmp below holds only plain data, and all C++
// objects live in their callers, so no destructor is ever skipped.

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "graphics/codecs/image_codecs.h"
#include "platform/file.h"
#include "platform/log.h"

namespace {

struct TPngIo {
  TFile* file;
  const char* name;
};

[[noreturn]] void PngErrorHook(png_structp png, png_const_charp message) {
  auto* io = static_cast<TPngIo*>(png_get_error_ptr(png));
  LogPrintf("PNG %s: %s", io->name, message);
  png_longjmp(png, 1);
}

void PngWarningHook(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep data, size_t length) {
  auto* io = static_cast<TPngIo*>(png_get_io_ptr(png));
  if (io->file->Read(data, length) != length) png_error(png, "Read Error");
}

void PngWrite(png_structp png, png_bytep data, size_t length) {
  auto* io = static_cast<TPngIo*>(png_get_io_ptr(png));
  if (io->file->Write(data, length) != length) png_error(png, "Write Error");
}

void PngFlush(png_structp) {}

struct TPngHeader {
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0;
};

// Owns the read structures; frees them on every way out.
struct TPngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~TPngReader() { png_destroy_read_struct(&png, &info, nullptr); }
};

bool ReadPngHeader(TPngReader& r, TPngIo* io, TPngHeader* header) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_set_read_fn(r.png, io, PngRead);
  png_set_sig_bytes(r.png, 8);
  png_read_info(r.png, r.info);
  int interlace, compression, filter;
  png_get_IHDR(r.png, r.info, &header->width, &header->height, &header->bitDepth,
               &header->colourType, &interlace, &compression, &filter);
  return true;
}

bool ReplacePngPalette(TPngReader& r, png_colorp colours, int count) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_set_PLTE(r.png, r.info, colours, count);
  return true;
}

bool ReadPngRows(TPngReader& r, bool keepPalette, png_bytepp rows, size_t stride, int* channels) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_structp png = r.png;
  png_infop info = r.info;
  int colourType = png_get_color_type(png, info);
  bool palette = colourType == PNG_COLOR_TYPE_PALETTE;
  if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
  if (palette && !keepPalette) png_set_palette_to_rgb(png);
  if (palette && keepPalette) png_set_packing(png);
  if (!palette && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (!keepPalette && png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  if (!(palette && keepPalette)) {
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  }
  double gamma;
  if (png_get_gAMA(png, info, &gamma)) png_set_gamma(png, 2.2, gamma);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) > stride) png_error(png, "unexpected row size");
  *channels = png_get_channels(png, info);
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

// Replaces the palette's colours from the start by the entries of a RIFF palette file:
// "RIFF", size, form type, data tag, data size, version and count, then 4-byte entries
// (red, green, blue, flags). The entry count is the data size's, bounded by what the file
// and the image's palette really hold.
void ApplyRiffPalette(const TString& paletteFile, std::vector<png_color>& colours) {
  std::string bytes;
  if (!ReadWholeFile(paletteFile, bytes) || bytes.compare(0, 4, "RIFF") != 0) return;
  if (bytes.size() < 24) {
    LogPrintf("RIFF palette %s: truncated header", paletteFile.c_str());
    return;
  }
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  uint32_t dataSize = uint32_t(p[16]) | uint32_t(p[17]) << 8 | uint32_t(p[18]) << 16 | uint32_t(p[19]) << 24;
  uint32_t claimed = dataSize >= 4 ? (dataSize - 4) / 4 : 0;
  size_t held = (bytes.size() - 24) / 4;
  size_t count = claimed;
  if (count > held) {
    LogPrintf("RIFF palette %s: %u entries claimed, %zu present", paletteFile.c_str(), claimed, held);
    count = held;
  }
  if (count > colours.size()) count = colours.size();
  for (size_t i = 0; i < count; ++i) {
    colours[i].red = p[24 + i * 4];
    colours[i].green = p[25 + i * 4];
    colours[i].blue = p[26 + i * 4];
  }
}

uint32_t BackgroundColour(png_structp png, png_infop info, int bitDepth) {
  png_color_16p bkgd;
  if (!png_get_bKGD(png, info, &bkgd)) return 0;
  uint32_t r, g, b;
  if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE) {
    png_colorp colours;
    int count = 0;
    if (!png_get_PLTE(png, info, &colours, &count) || bkgd->index >= count) return 0;
    r = colours[bkgd->index].red, g = colours[bkgd->index].green, b = colours[bkgd->index].blue;
  } else {
    bool grey = !(png_get_color_type(png, info) & PNG_COLOR_MASK_COLOR);
    auto scale = [bitDepth](uint32_t v) {
      if (bitDepth == 16) return v >> 8;
      return bitDepth >= 8 ? v & 0xFF : (v * 255 / ((1u << bitDepth) - 1)) & 0xFF;
    };
    r = scale(grey ? bkgd->gray : bkgd->red);
    g = scale(grey ? bkgd->gray : bkgd->green);
    b = scale(grey ? bkgd->gray : bkgd->blue);
  }
  return b << 16 | g << 8 | r;
}

// The kept palette as 256 entries of blue, green, red, alpha; true when it is transparent.
bool KeptPalette(png_structp png, png_infop info, uint8_t* out) {
  png_colorp colours;
  int count = 0;
  png_get_PLTE(png, info, &colours, &count);
  png_bytep alpha = nullptr;
  int alphaCount = 0;
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_get_tRNS(png, info, &alpha, &alphaCount, nullptr);
  bool transparent = false;
  for (int i = 0; i < 256; ++i) {
    uint8_t* e = out + i * 4;
    if (i < count) e[0] = colours[i].blue, e[1] = colours[i].green, e[2] = colours[i].red;
    e[3] = i < alphaCount ? alpha[i] : 255;
    if (e[3] != 255) transparent = true;
  }
  return transparent;
}

}  // namespace

bool LoadPngImageEx(const TString& name, TDecodedImage& out, const TString& paletteFile,
                    bool keepPalette) {
  out = TDecodedImage();
  TFilePtr file = FileOpen(name, FileReadRaw);
  if (!file) {
    LogPrintf("PNG %s: cannot open", name.c_str());
    return false;
  }
  png_byte signature[8];
  if (file->Read(signature, 8) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
    LogPrintf("PNG %s: not a PNG file", name.c_str());
    return false;
  }
  TPngIo io{file.get(), name.c_str()};
  TPngReader reader;
  reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &io, PngErrorHook, PngWarningHook);
  if (reader.png) reader.info = png_create_info_struct(reader.png);
  if (!reader.info) {
    LogPrintf("PNG %s: Visual PNG: out of memory", name.c_str());
    return false;
  }
  TPngHeader header;
  if (!ReadPngHeader(reader, &io, &header)) return false;
  if (!CheckImageSize(name, header.width, header.height)) return false;

  bool palette = header.colourType == PNG_COLOR_TYPE_PALETTE;
  if (palette && !paletteFile.IsEmpty()) {
    png_colorp colours;
    int count = 0;
    if (png_get_PLTE(reader.png, reader.info, &colours, &count)) {
      std::vector<png_color> replaced(colours, colours + count);
      ApplyRiffPalette(paletteFile, replaced);
      if (!ReplacePngPalette(reader, replaced.data(), count)) return false;
    }
  }
  bool indices = palette && keepPalette;
  uint32_t side = ImageSide(header.width, header.height);
  size_t stride = size_t(side) * (indices ? 1 : 4);
  std::unique_ptr<uint8_t[]> pixels = AllocateImage(name, side, indices ? 1 : 4);
  if (!pixels) return false;
  std::vector<png_bytep> rows(header.height);
  for (uint32_t r = 0; r < header.height; ++r) rows[r] = pixels.get() + r * stride;

  int channels = 0;
  if (!ReadPngRows(reader, keepPalette, rows.data(), stride, &channels)) return false;

  out.hasAlpha = (header.colourType & PNG_COLOR_MASK_ALPHA) != 0;
  // Transparency expanded into the alpha channel counts as alpha too.
  if (!indices && png_get_valid(reader.png, reader.info, PNG_INFO_tRNS)) out.hasAlpha = true;
  if (indices) {
    out.palette.reset(new uint8_t[256 * 4]());
    if (KeptPalette(reader.png, reader.info, out.palette.get())) out.hasAlpha = true;
  }
  out.colour = BackgroundColour(reader.png, reader.info, header.bitDepth);
  out.pixels = std::move(pixels);
  out.width = header.width;
  out.height = header.height;
  out.side = side;
  out.channels = channels;
  return true;
}

bool LoadPngImage(const TString& name, TDecodedImage& out) {
  return LoadPngImageEx(name, out, TString(), false);
}

namespace {

bool WritePngRows(png_structp png, png_infop info, TPngIo* io, png_bytepp rows, uint32_t width,
                  uint32_t height) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, io, PngWrite, PngFlush);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}

}  // namespace

bool SavePngImage(const TString& name, const void* pixels, uint32_t width, uint32_t height,
                  uint32_t pitch) {
  if (!pixels || width == 0 || height == 0 || pitch < width * 4) {
    LogPrintf("PNG %s: nothing to write (%ux%u, pitch %u)", name.c_str(), width, height, pitch);
    return false;
  }
  TFilePtr file = FileOpen(name, FileWriteRaw);
  if (!file) {
    LogPrintf("PNG %s: cannot open for writing", name.c_str());
    return false;
  }
  TPngIo io{file.get(), name.c_str()};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, PngErrorHook, PngWarningHook);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    LogPrintf("PNG %s: Visualpng: Out of memory", name.c_str());
    return false;
  }
  std::vector<png_bytep> rows(height);
  for (uint32_t r = 0; r < height; ++r) {
    rows[r] = const_cast<png_bytep>(static_cast<const uint8_t*>(pixels) + size_t(r) * pitch);
  }
  bool ok = WritePngRows(png, info, &io, rows.data(), width, height);
  png_destroy_write_struct(&png, &info);
  return ok;
}
