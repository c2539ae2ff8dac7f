// JPEG-2000 reading on OpenJPEG through the file layer.

#include <openjpeg.h>

#include <cstring>

#include "graphics/codecs/image_codecs.h"
#include "platform/file.h"
#include "platform/log.h"

namespace {

constexpr OPJ_SIZE_T StreamBufferSize = 65536;

OPJ_SIZE_T StreamRead(void* buffer, OPJ_SIZE_T count, void* data) {
  size_t got = static_cast<TFile*>(data)->Read(buffer, count);
  return got ? got : OPJ_SIZE_T(-1);
}

OPJ_OFF_T StreamSkip(OPJ_OFF_T count, void* data) {
  auto* file = static_cast<TFile*>(data);
  int64_t before = file->Tell();
  file->Seek(count, SeekCurrent);
  return file->Tell() - before;
}

OPJ_BOOL StreamSeek(OPJ_OFF_T position, void* data) {
  auto* file = static_cast<TFile*>(data);
  if (position < 0 || position > file->GetSize()) return OPJ_FALSE;
  file->Seek(position, SeekStart);
  return file->Tell() == position;
}

struct TOpjMessages {
  const char* name;
  bool logged;
};

// The first error names the fault; the decoder often follows it with consequences.
void OpjError(const char* message, void* data) {
  auto* messages = static_cast<TOpjMessages*>(data);
  if (messages->logged) return;
  messages->logged = true;
  size_t length = strlen(message);
  while (length && (message[length - 1] == '\n' || message[length - 1] == '\r')) --length;
  LogPrintf("JPEG-2000 %s: %.*s", messages->name, int(length), message);
}

void OpjQuiet(const char*, void*) {}

// Owns the decoder's objects.
struct TOpjDecode {
  opj_stream_t* stream = nullptr;
  opj_codec_t* codec = nullptr;
  opj_image_t* image = nullptr;
  ~TOpjDecode() {
    if (image) opj_image_destroy(image);
    if (codec) opj_destroy_codec(codec);
    if (stream) opj_stream_destroy(stream);
  }
};

// The codec from the file's first bytes: the JP2 signature box or a bare codestream.
bool DetectFormat(TFile* file, OPJ_CODEC_FORMAT* format) {
  static const uint8_t Jp2Signature[12] = {0, 0, 0, 12, 'j', 'P', ' ', ' ', 13, 10, 0x87, 10};
  static const uint8_t CodestreamStart[4] = {0xFF, 0x4F, 0xFF, 0x51};
  uint8_t head[12] = {};
  size_t got = file->Read(head, sizeof(head));
  file->Seek(0, SeekStart);
  if (got == 12 && memcmp(head, Jp2Signature, 12) == 0) {
    *format = OPJ_CODEC_JP2;
    return true;
  }
  if (got >= 4 && memcmp(head, CodestreamStart, 4) == 0) {
    *format = OPJ_CODEC_J2K;
    return true;
  }
  return false;
}

bool ComponentUsable(const opj_image_comp_t& c) {
  return c.data && c.w && c.h && c.dx && c.dy && c.prec >= 1 && c.prec <= 31;
}

// The component's sample for image pixel (x, y) scaled to 8 bits.
uint8_t Sample(const opj_image_comp_t& c, uint32_t x, uint32_t y) {
  uint32_t cx = x / c.dx, cy = y / c.dy;
  if (cx >= c.w) cx = c.w - 1;
  if (cy >= c.h) cy = c.h - 1;
  int64_t v = c.data[size_t(cy) * c.w + cx];
  if (c.sgnd) v += int64_t(1) << (c.prec - 1);
  v = c.prec > 8 ? v >> (c.prec - 8) : v << (8 - c.prec);
  return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Writes one component into byte `channel` of every pixel, the last value of each row
// repeated to the end of the row.
void StoreComponent(const opj_image_comp_t& c, uint8_t* pixels, uint32_t width, uint32_t height,
                    uint32_t side, int channel) {
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = pixels + size_t(y) * side * 4;
    uint8_t value = 0;
    for (uint32_t x = 0; x < side; ++x) {
      if (x < width) value = Sample(c, x, y);
      row[x * 4 + channel] = value;
    }
  }
}

void FillChannel(uint8_t* pixels, uint32_t height, uint32_t side, int channel, uint8_t value) {
  for (size_t i = 0; i < size_t(height) * side; ++i) pixels[i * 4 + channel] = value;
}

}  // namespace

bool LoadJpeg2000Image(const TString& name, TDecodedImage& out) {
  out = TDecodedImage();
  TFilePtr file = FileOpen(name, FileReadRaw);
  if (!file) {
    LogPrintf("JPEG-2000 %s: cannot open", name.c_str());
    return false;
  }
  OPJ_CODEC_FORMAT format;
  if (!DetectFormat(file.get(), &format)) {
    LogPrintf("JPEG-2000 %s: not a JPEG-2000 file", name.c_str());
    return false;
  }
  TOpjDecode d;
  TOpjMessages messages{name.c_str(), false};
  d.stream = opj_stream_create(StreamBufferSize, OPJ_TRUE);
  d.codec = opj_create_decompress(format);
  if (!d.stream || !d.codec) {
    LogPrintf("JPEG-2000 %s: out of memory", name.c_str());
    return false;
  }
  opj_stream_set_user_data(d.stream, file.get(), nullptr);
  opj_stream_set_user_data_length(d.stream, OPJ_UINT64(file->GetSize()));
  opj_stream_set_read_function(d.stream, StreamRead);
  opj_stream_set_skip_function(d.stream, StreamSkip);
  opj_stream_set_seek_function(d.stream, StreamSeek);
  opj_set_error_handler(d.codec, OpjError, &messages);
  opj_set_warning_handler(d.codec, OpjQuiet, nullptr);
  opj_set_info_handler(d.codec, OpjQuiet, nullptr);
  opj_dparameters_t parameters;
  opj_set_default_decoder_parameters(&parameters);
  if (!opj_setup_decoder(d.codec, &parameters) || !opj_read_header(d.stream, d.codec, &d.image)) {
    OpjError("cannot read the header", &messages);
    return false;
  }
  if (d.image->x1 <= d.image->x0 || d.image->y1 <= d.image->y0 || d.image->numcomps == 0) {
    LogPrintf("JPEG-2000 %s: empty image", name.c_str());
    return false;
  }
  uint32_t width = d.image->x1 - d.image->x0, height = d.image->y1 - d.image->y0;
  if (!CheckImageSize(name, width, height)) return false;
  if (!opj_decode(d.codec, d.stream, d.image) || !opj_end_decompress(d.codec, d.stream)) {
    OpjError("cannot decode the image", &messages);
    return false;
  }
  const opj_image_t& image = *d.image;
  for (uint32_t i = 0; i < image.numcomps; ++i) {
    if (!ComponentUsable(image.comps[i])) {
      LogPrintf("JPEG-2000 %s: component %u has no usable samples", name.c_str(), i);
      return false;
    }
  }
  uint32_t side = ImageSide(width, height);
  std::unique_ptr<uint8_t[]> pixels = AllocateImage(name, side, 4);
  if (!pixels) return false;

  // Colour images give red, green, blue from their first three components; grey images
  // repeat their one grey component into all three. A component flagged as alpha (or
  // the fourth of a colour image, the second of a grey one) gives alpha.
  bool grey = image.color_space == OPJ_CLRSPC_GRAY || image.numcomps < 3;
  int colourCount = grey ? 1 : 3;
  int alpha = -1;
  for (uint32_t i = 0; i < image.numcomps; ++i) {
    if (image.comps[i].alpha) alpha = int(i);
  }
  if (alpha < 0 && int(image.numcomps) > colourCount) alpha = colourCount;
  if (alpha >= 0 && alpha < colourCount) alpha = -1;
  for (int channel = 0; channel < 3; ++channel) {
    int component = grey ? 0 : 2 - channel;  // byte 0 blue, 1 green, 2 red
    StoreComponent(image.comps[component], pixels.get(), width, height, side, channel);
  }
  if (alpha >= 0) {
    StoreComponent(image.comps[alpha], pixels.get(), width, height, side, 3);
  } else {
    FillChannel(pixels.get(), height, side, 3, 255);
  }
  // Rows below the image repeat the last image row.
  uint8_t* last = pixels.get() + size_t(height - 1) * side * 4;
  for (uint32_t y = height; y < side; ++y) memcpy(pixels.get() + size_t(y) * side * 4, last, size_t(side) * 4);

  out.pixels = std::move(pixels);
  out.width = width;
  out.height = height;
  out.side = side;
  out.channels = alpha >= 0 ? 4 : 3;
  out.hasAlpha = alpha >= 0;
  return true;
}
