#include "sound/ogg_data_source.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>

#include "platform/log.h"
#include "platform/settings.h"

namespace {

constexpr int MinRate = 1000;
constexpr int MaxRate = 192000;
constexpr double InMemoryBelowSeconds = 2.0;
// ov_read hands out at most this much at a time.
constexpr int DecodeChunk = 4096;
// A damaged stream reports a hole per gap; a run of them this long means it's beyond use.
constexpr int MaxHolesInARow = 8;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr int HostBigEndian = 1;
#else
constexpr int HostBigEndian = 0;
#endif

size_t ReadCallback(void* buffer, size_t size, size_t count, void* source) {
  if (size == 0) return 0;
  return static_cast<TFile*>(source)->Read(buffer, size * count) / size;
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
  int mode = whence == SEEK_SET ? SeekStart : whence == SEEK_CUR ? SeekCurrent : SeekEnd;
  static_cast<TFile*>(source)->Seek(offset, mode);
  return 0;
}

long TellCallback(void* source) { return long(static_cast<TFile*>(source)->Tell()); }

void LogOpenFailure(const TString& name, const char* fault) {
  LogPrintf("OGG file could not be opened: %s (%s)", name.c_str(), fault);
}

}  // namespace

TOggDataSource::TOggDataSource() = default;

TOggDataSource::~TOggDataSource() { Close(); }

void TOggDataSource::Close() {
  if (mVorbis) ov_clear(mVorbis.get());
  mVorbis.reset();
  mFile.reset();
}

bool TOggDataSource::Open(const TString& name) {
  Close();
  mFile = FileOpen(name, FileReadRaw);
  if (!mFile) {
    LogOpenFailure(name, "file not found");
    return false;
  }
  auto vorbis = std::make_unique<OggVorbis_File>();
  // The file stays ours: no close callback.
  ov_callbacks callbacks = {ReadCallback, SeekCallback, nullptr, TellCallback};
  if (ov_open_callbacks(mFile.get(), vorbis.get(), nullptr, 0, callbacks) != 0) {
    mFile.reset();  // a failed open leaves nothing to clear
    LogOpenFailure(name, "not an Ogg Vorbis stream");
    return false;
  }
  mVorbis = std::move(vorbis);
  const vorbis_info* info = ov_info(mVorbis.get(), -1);
  ogg_int64_t frames = ov_pcm_total(mVorbis.get(), -1);
  const char* fault = nullptr;
  if (!info) {
    fault = "no stream header";
  } else if (info->channels != 1 && info->channels != 2) {
    fault = "only mono and stereo sounds play";
  } else if (info->rate < MinRate || info->rate > MaxRate) {
    fault = "sample rate out of range";
  } else if (frames < 0) {
    fault = "no length";
  }
  if (fault) {
    Close();
    LogOpenFailure(name, fault);
    return false;
  }
  mRate = int(info->rate);
  mChannels = info->channels;
  mLength = int64_t(frames) * mChannels * 2;
  mDuration = double(frames) / double(mRate);
  mPosition = 0;
  return true;
}

uint32_t TOggDataSource::Read(void* buffer, int64_t position, uint32_t bytes) {
  if (!mVorbis || bytes == 0 || position < 0 || position >= mLength) return 0;
  const int64_t frameBytes = int64_t(mChannels) * 2;
  if (position != mPosition) {
    if (ov_pcm_seek(mVorbis.get(), position / frameBytes) != 0) return 0;
    mPosition = position / frameBytes * frameBytes;
  }
  // Never past the length the stream claims, whatever the decoder would still hand out.
  bytes = uint32_t(std::min<int64_t>(bytes, mLength - position));
  char* out = static_cast<char*>(buffer);
  uint32_t got = 0;
  int holes = 0;
  while (bytes - got >= frameBytes) {
    int bitstream = 0;
    int want = int(std::min<uint32_t>(bytes - got, DecodeChunk));
    long n = ov_read(mVorbis.get(), out + got, want, HostBigEndian, 2, 1, &bitstream);
    if (n == 0) break;
    if (n < 0) {
      if (n == OV_HOLE && ++holes < MaxHolesInARow) continue;
      break;
    }
    holes = 0;
    // A chained stream whose later part has another layout would garble the samples.
    const vorbis_info* info = ov_info(mVorbis.get(), bitstream);
    if (!info || info->channels != mChannels) break;
    got += uint32_t(n);
  }
  mPosition += got;
  return got;
}

std::vector<unsigned char> TOggDataSource::DecodeAll() {
  std::vector<unsigned char> pcm;
  // Grown as the samples come: the claimed length is only the file's word.
  const uint32_t chunk = 65536;
  int64_t position = 0;
  for (;;) {
    pcm.resize(size_t(position) + chunk);
    uint32_t got = Read(pcm.data() + position, position, chunk);
    position += got;
    if (got < chunk) break;
  }
  pcm.resize(size_t(position));
  return pcm;
}

std::shared_ptr<TSoundDataSource> TOggDataSourceBuilder::CreateDataSource(const TString& name, bool stream) {
  auto ogg = std::make_shared<TOggDataSource>();
  if (!ogg->Open(name)) return nullptr;
  if (stream) return ogg;
  if (ogg->GetDuration() >= InMemoryBelowSeconds && !IsEnabled("keepogguncompressed")) return ogg;
  return std::make_shared<TMemDataSource>(ogg->DecodeAll(), ogg->GetSampleRate(), ogg->GetChannels(),
                                          ogg->GetDuration());
}

void RegisterOggDataSource() { RegisterSoundDataSourceBuilder(".ogg", std::make_shared<TOggDataSourceBuilder>()); }
