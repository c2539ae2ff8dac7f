// JPEG reading and writing on libjpeg through the file layer. The codec reports fatal
// errors through error_exit, which here longjmps back to the guarded function: those
// functions hold only plain data, so no destructor is skipped.

#include <cstdio>
#include <csetjmp>

#include <jpeglib.h>
#include <jerror.h>

#include "graphics/codecs/image_codecs.h"
#include "platform/file.h"
#include "platform/log.h"

namespace {

constexpr size_t JpegBufferSize = 4096;

struct TJpegError {
  jpeg_error_mgr manager;
  jmp_buf jump;
  const char* name;
  bool warned;
};

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  char text[JMSG_LENGTH_MAX];
  info->err->format_message(info, text);
  LogPrintf("JPEG %s: %s", error->name, text);
  longjmp(error->jump, 1);
}

// Warnings (corrupt or missing data) are logged once per image.
void JpegMessage(j_common_ptr info, int level) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  if (level >= 0 || error->warned) return;
  error->warned = true;
  char text[JMSG_LENGTH_MAX];
  info->err->format_message(info, text);
  LogPrintf("JPEG %s: warning: %s", error->name, text);
}

void InitErrors(TJpegError& error, const char* name) {
  jpeg_std_error(&error.manager);
  error.manager.error_exit = JpegErrorExit;
  error.manager.emit_message = JpegMessage;
  error.name = name;
  error.warned = false;
}

struct TJpegSource {
  jpeg_source_mgr manager;
  TFile* file;
  JOCTET* buffer;
};

void SourceInit(j_decompress_ptr) {}

boolean SourceFill(j_decompress_ptr info) {
  static const JOCTET EndOfImage[2] = {0xFF, JPEG_EOI};
  auto* src = reinterpret_cast<TJpegSource*>(info->src);
  size_t got = src->file->Read(src->buffer, JpegBufferSize);
  if (got == 0) {
    if (src->file->Tell() == 0) ERREXIT(info, JERR_INPUT_EMPTY);
    // A file cut short ends as if its end-of-image marker had come.
    WARNMS(info, JWRN_JPEG_EOF);
    src->manager.next_input_byte = EndOfImage;
    src->manager.bytes_in_buffer = 2;
    return TRUE;
  }
  src->manager.next_input_byte = src->buffer;
  src->manager.bytes_in_buffer = got;
  return TRUE;
}

void SourceSkip(j_decompress_ptr info, long count) {
  auto* src = reinterpret_cast<TJpegSource*>(info->src);
  if (count <= 0) return;
  while (size_t(count) > src->manager.bytes_in_buffer) {
    count -= long(src->manager.bytes_in_buffer);
    SourceFill(info);
  }
  src->manager.next_input_byte += count;
  src->manager.bytes_in_buffer -= size_t(count);
}

void SourceTerm(j_decompress_ptr) {}

struct TJpegDestination {
  jpeg_destination_mgr manager;
  TFile* file;
  JOCTET* buffer;
};

void DestinationInit(j_compress_ptr info) {
  auto* dst = reinterpret_cast<TJpegDestination*>(info->dest);
  dst->manager.next_output_byte = dst->buffer;
  dst->manager.free_in_buffer = JpegBufferSize;
}

boolean DestinationEmpty(j_compress_ptr info) {
  auto* dst = reinterpret_cast<TJpegDestination*>(info->dest);
  if (dst->file->Write(dst->buffer, JpegBufferSize) != JpegBufferSize) ERREXIT(info, JERR_FILE_WRITE);
  DestinationInit(info);
  return TRUE;
}

void DestinationTerm(j_compress_ptr info) {
  auto* dst = reinterpret_cast<TJpegDestination*>(info->dest);
  size_t used = JpegBufferSize - dst->manager.free_in_buffer;
  if (used && dst->file->Write(dst->buffer, used) != used) ERREXIT(info, JERR_FILE_WRITE);
}

// Plain state of one read, shared by the guarded steps.
struct TJpegRead {
  jpeg_decompress_struct info;
  TJpegError error;
  TJpegSource* source;
};

bool ReadJpegHeader(TJpegRead* r, TFile* file) {
  if (setjmp(r->error.jump)) return false;
  jpeg_create_decompress(&r->info);
  r->source = static_cast<TJpegSource*>((*r->info.mem->alloc_small)(
      reinterpret_cast<j_common_ptr>(&r->info), JPOOL_PERMANENT, sizeof(TJpegSource)));
  r->source->buffer = static_cast<JOCTET*>((*r->info.mem->alloc_small)(
      reinterpret_cast<j_common_ptr>(&r->info), JPOOL_PERMANENT, JpegBufferSize));
  r->source->file = file;
  r->source->manager.init_source = SourceInit;
  r->source->manager.fill_input_buffer = SourceFill;
  r->source->manager.skip_input_data = SourceSkip;
  r->source->manager.resync_to_restart = jpeg_resync_to_restart;
  r->source->manager.term_source = SourceTerm;
  r->source->manager.bytes_in_buffer = 0;
  r->source->manager.next_input_byte = nullptr;
  r->info.src = &r->source->manager;
  jpeg_read_header(&r->info, TRUE);
  r->info.out_color_space = JCS_EXT_BGRA;
  return true;
}

bool ReadJpegRows(TJpegRead* r, uint8_t* pixels, uint32_t side) {
  if (setjmp(r->error.jump)) return false;
  jpeg_start_decompress(&r->info);
  if (r->info.output_components != 4) ERREXIT(&r->info, JERR_CONVERSION_NOTIMPL);
  while (r->info.output_scanline < r->info.output_height) {
    JSAMPROW row = pixels + size_t(r->info.output_scanline) * side * 4;
    jpeg_read_scanlines(&r->info, &row, 1);
  }
  jpeg_finish_decompress(&r->info);
  return true;
}

}  // namespace

bool LoadJpegImage(const TString& name, TDecodedImage& out) {
  out = TDecodedImage();
  TFilePtr file = FileOpen(name, FileReadRaw);
  if (!file) {
    LogPrintf("JPEG %s: cannot open", name.c_str());
    return false;
  }
  TJpegRead read{};
  InitErrors(read.error, name.c_str());
  read.info.err = &read.error.manager;
  bool ok = ReadJpegHeader(&read, file.get()) &&
            CheckImageSize(name, read.info.image_width, read.info.image_height);
  uint32_t side = ok ? ImageSide(read.info.image_width, read.info.image_height) : 0;
  std::unique_ptr<uint8_t[]> pixels = ok ? AllocateImage(name, side, 4) : nullptr;
  ok = pixels && ReadJpegRows(&read, pixels.get(), side);
  jpeg_destroy_decompress(&read.info);
  if (!ok) return false;
  out.width = read.info.image_width;
  out.height = read.info.image_height;
  out.side = side;
  out.channels = 4;
  out.pixels = std::move(pixels);
  return true;
}

namespace {

struct TJpegWrite {
  jpeg_compress_struct info;
  TJpegError error;
};

bool WriteJpegRows(TJpegWrite* w, TFile* file, int quality, uint32_t width, uint32_t height,
                   uint32_t pitch, const uint8_t* pixels) {
  if (setjmp(w->error.jump)) return false;
  jpeg_create_compress(&w->info);
  auto* dst = static_cast<TJpegDestination*>((*w->info.mem->alloc_small)(
      reinterpret_cast<j_common_ptr>(&w->info), JPOOL_PERMANENT, sizeof(TJpegDestination)));
  dst->buffer = static_cast<JOCTET*>((*w->info.mem->alloc_small)(
      reinterpret_cast<j_common_ptr>(&w->info), JPOOL_PERMANENT, JpegBufferSize));
  dst->file = file;
  dst->manager.init_destination = DestinationInit;
  dst->manager.empty_output_buffer = DestinationEmpty;
  dst->manager.term_destination = DestinationTerm;
  w->info.dest = &dst->manager;
  w->info.image_width = width;
  w->info.image_height = height;
  w->info.input_components = 4;
  w->info.in_color_space = JCS_EXT_BGRA;
  jpeg_set_defaults(&w->info);
  jpeg_set_quality(&w->info, quality, TRUE);
  jpeg_start_compress(&w->info, TRUE);
  while (w->info.next_scanline < height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels + size_t(w->info.next_scanline) * pitch);
    jpeg_write_scanlines(&w->info, &row, 1);
  }
  jpeg_finish_compress(&w->info);
  return true;
}

}  // namespace

bool SaveJpegImage(const TString& name, float quality, uint32_t width, uint32_t height,
                   uint32_t pitch, const void* pixels) {
  if (!pixels || width == 0 || height == 0 || width > JPEG_MAX_DIMENSION ||
      height > JPEG_MAX_DIMENSION || pitch < width * 4) {
    LogPrintf("JPEG %s: nothing to write (%ux%u, pitch %u)", name.c_str(), width, height, pitch);
    return false;
  }
  TFilePtr file = FileOpen(name, FileWriteRaw);
  if (!file) {
    LogPrintf("JPEG %s: cannot open for writing", name.c_str());
    return false;
  }
  int q = int(quality * 100);
  q = q < 0 ? 0 : q > 100 ? 100 : q;
  TJpegWrite write{};
  InitErrors(write.error, name.c_str());
  write.info.err = &write.error.manager;
  bool ok = WriteJpegRows(&write, file.get(), q, width, height, pitch,
                          static_cast<const uint8_t*>(pixels));
  jpeg_destroy_compress(&write.info);
  return ok;
}
