// Writes the image fixtures of tests/fixtures/graphics: small good images of every kind
// the codecs read, and broken copies of them (cut short, bytes flipped, absurd sizes).
//   build-*/bin/make_image_fixtures tests/fixtures/graphics

#include <openjpeg.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/codecs/image_codecs.h"
#include "platform/file_map.h"

namespace {

std::string gFolder;

std::string PathOf(const char* name) { return gFolder + "/" + name; }

std::vector<uint8_t> ReadBytes(const char* name) {
  std::ifstream in(PathOf(name), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const char* name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(PathOf(name), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

uint32_t Pixel(uint32_t x, uint32_t y, uint32_t alpha) {
  return alpha << 24 | (x * 40 & 0xFF) << 16 | (y * 60 & 0xFF) << 8 | ((x + y) * 25 & 0xFF);
}

void WriteRgbaPng() {
  std::vector<uint32_t> pixels;
  for (uint32_t y = 0; y < 3; ++y)
    for (uint32_t x = 0; x < 5; ++x) pixels.push_back(Pixel(x, y, x * 60));
  SavePngImage("user:rgba.png", pixels.data(), 5, 3, 5 * 4);
}

void WritePalettePng() {
  FILE* f = fopen(PathOf("palette.png").c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_set_IHDR(png, info, 4, 2, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};
  png_set_PLTE(png, info, colours, 4);
  png_byte alpha[2] = {0, 128};
  png_set_tRNS(png, info, alpha, 2, nullptr);
  png_write_info(png, info);
  png_byte rows[2][4] = {{0, 1, 2, 3}, {3, 2, 1, 0}};
  for (auto& row : rows) png_write_row(png, row);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  fclose(f);
}

void WriteJpeg() {
  std::vector<uint32_t> pixels;
  for (uint32_t y = 0; y < 16; ++y)
    for (uint32_t x = 0; x < 24; ++x) pixels.push_back(Pixel(x, y, 255));
  SaveJpegImage("user:photo.jpg", 0.9f, 24, 16, 24 * 4, pixels.data());
}

void WriteJpeg2000(const char* name, OPJ_CODEC_FORMAT format, int components) {
  const int w = 6, h = 5;
  opj_image_cmptparm_t parameters[4];
  memset(parameters, 0, sizeof(parameters));
  for (int c = 0; c < components; ++c) {
    parameters[c].dx = parameters[c].dy = 1;
    parameters[c].w = w;
    parameters[c].h = h;
    parameters[c].prec = 8;
  }
  opj_image_t* image = opj_image_create(OPJ_UINT32(components), parameters,
                                        components >= 3 ? OPJ_CLRSPC_SRGB : OPJ_CLRSPC_GRAY);
  image->x1 = w;
  image->y1 = h;
  for (int c = 0; c < components; ++c) {
    if ((components == 4 && c == 3) || (components == 2 && c == 1)) image->comps[c].alpha = 1;
    for (int i = 0; i < w * h; ++i) image->comps[c].data[i] = (i * 9 + c * 70) & 0xFF;
  }
  opj_cparameters_t setup;
  opj_set_default_encoder_parameters(&setup);
  setup.numresolution = 2;
  setup.tcp_numlayers = 1;
  setup.tcp_rates[0] = 0;
  setup.cp_disto_alloc = 1;
  opj_codec_t* codec = opj_create_compress(format);
  opj_setup_encoder(codec, &setup, image);
  opj_stream_t* stream = opj_stream_create_default_file_stream(PathOf(name).c_str(), OPJ_FALSE);
  opj_start_compress(codec, image, stream);
  opj_encode(codec, stream);
  opj_end_compress(codec, stream);
  opj_stream_destroy(stream);
  opj_destroy_codec(codec);
  opj_image_destroy(image);
}

void Cut(const char* from, const char* to, size_t length) {
  std::vector<uint8_t> bytes = ReadBytes(from);
  bytes.resize(length);
  WriteBytes(to, bytes);
}

void Flip(const char* from, const char* to, std::initializer_list<size_t> offsets) {
  std::vector<uint8_t> bytes = ReadBytes(from);
  for (size_t at : offsets) bytes[at] ^= 0xFF;
  WriteBytes(to, bytes);
}

void PutBig32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
}

size_t Find(const std::vector<uint8_t>& b, std::initializer_list<uint8_t> marker) {
  return size_t(std::search(b.begin(), b.end(), marker.begin(), marker.end()) - b.begin());
}

void WriteBrokenPngs() {
  Cut("rgba.png", "png_cut_signature.png", 6);
  Cut("rgba.png", "png_cut_header.png", 20);
  Cut("rgba.png", "png_cut_data.png", ReadBytes("rgba.png").size() - 20);
  Flip("rgba.png", "png_flipped_header.png", {17, 18});
  Flip("rgba.png", "png_flipped_data.png", {45, 46, 47});
  // 100000 x 100000 with a correct checksum: only the size is wrong.
  std::vector<uint8_t> huge = ReadBytes("rgba.png");
  PutBig32(huge, 16, 100000);
  PutBig32(huge, 20, 100000);
  PutBig32(huge, 29, uint32_t(crc32(0, huge.data() + 12, 17)));
  WriteBytes("png_absurd_size.png", huge);
}

void WriteBrokenJpegs() {
  std::vector<uint8_t> jpeg = ReadBytes("photo.jpg");
  size_t sof = Find(jpeg, {0xFF, 0xC0});
  size_t sos = Find(jpeg, {0xFF, 0xDA});
  Cut("photo.jpg", "jpeg_cut_header.jpg", sof + 4);
  Cut("photo.jpg", "jpeg_cut_data.jpg", sos + 30);
  Flip("photo.jpg", "jpeg_flipped_markers.jpg", {sof, sof + 1, sos, sos + 1});
  std::vector<uint8_t> huge = jpeg;
  huge[sof + 5] = 0x4E, huge[sof + 6] = 0x20;  // height 20000
  huge[sof + 7] = 0x4E, huge[sof + 8] = 0x20;  // width 20000
  WriteBytes("jpeg_absurd_size.jpg", huge);
}

void WriteBrokenJpeg2000() {
  std::vector<uint8_t> j2k = ReadBytes("grey.j2k");
  Cut("image.jp2", "jp2_cut_header.jp2", 60);
  Cut("image.jp2", "jp2_cut_data.jp2", ReadBytes("image.jp2").size() - 12);
  Cut("grey.j2k", "j2k_cut_header.j2k", 30);
  size_t siz = Find(j2k, {0xFF, 0x51});
  Flip("grey.j2k", "j2k_flipped_header.j2k", {siz + 4, siz + 5, siz + 6, siz + 40});
  std::vector<uint8_t> huge = j2k;
  PutBig32(huge, siz + 6, 200000);   // Xsiz
  PutBig32(huge, siz + 10, 200000);  // Ysiz
  PutBig32(huge, siz + 22, 200000);  // XTsiz: one tile
  PutBig32(huge, siz + 26, 200000);  // YTsiz
  WriteBytes("j2k_absurd_size.j2k", huge);
}

// A RIFF palette ("PAL ") of two entries whose data size claims 100000 entries.
void WriteRiffPalettes() {
  auto riff = [](uint32_t claimedEntries, std::initializer_list<uint8_t> entries) {
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'P', 'A', 'L', ' ', 'd', 'a', 't', 'a'};
    uint32_t dataSize = 4 + claimedEntries * 4;
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(dataSize >> (8 * i)));
    b.insert(b.end(), {0x00, 0x03, uint8_t(claimedEntries), uint8_t(claimedEntries >> 8)});
    b.insert(b.end(), entries);
    return b;
  };
  WriteBytes("palette.pal", riff(2, {9, 8, 7, 0, 6, 5, 4, 0}));
  WriteBytes("palette_count_overrun.pal", riff(100000, {9, 8, 7, 0, 6, 5, 4, 0}));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s <fixture folder>\n", argv[0]);
    return 2;
  }
  gFolder = argv[1];
  // The codecs write through the file layer, which writes below the data folders.
  SetDataFolders(gFolder.c_str(), "", "");
  WriteRgbaPng();
  WritePalettePng();
  WriteJpeg();
  WriteJpeg2000("image.jp2", OPJ_CODEC_JP2, 3);
  WriteJpeg2000("rgba.jp2", OPJ_CODEC_JP2, 4);
  WriteJpeg2000("grey.j2k", OPJ_CODEC_J2K, 1);
  WriteBrokenPngs();
  WriteBrokenJpegs();
  WriteBrokenJpeg2000();
  WriteRiffPalettes();
  return 0;
}
