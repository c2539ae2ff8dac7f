#include "sound/stream_spooler.h"

#include <algorithm>
#include <cstring>

#include "sound/sound_data_source.h"

TStreamSpooler::TStreamSpooler(std::shared_ptr<TSoundDataSource> source) : mSource(std::move(source)) {}

bool TStreamSpooler::Read(uint32_t bytes, void* buffer, uint32_t* delivered, bool loop) {
  if (buffer && bytes) memset(buffer, 0, bytes);
  *delivered = 0;
  if (!mSource || bytes == 0 || !buffer) return true;
  unsigned char* out = static_cast<unsigned char*>(buffer);
  const int64_t length = mSource->GetLength();
  // Set by a rewind and cleared by the first byte after it: a second end with nothing in
  // between means there is nothing to loop over (an empty or unreadable sound), and looping
  // on would never fill the request.
  bool rewoundEmpty = false;
  while (*delivered < bytes) {
    int64_t want = bytes - *delivered;
    bool end = false;
    if (mPosition + want > length) {
      want = length > mPosition ? length - mPosition : 0;
      end = true;
    }
    uint32_t got = want > 0 ? mSource->Read(out + *delivered, mPosition, uint32_t(want)) : 0;
    if (got < want) end = true;
    mPosition += got;
    *delivered += got;
    if (got) rewoundEmpty = false;
    if (!end) continue;
    if (!loop || rewoundEmpty) return false;
    mPosition = 0;
    rewoundEmpty = true;
  }
  return true;
}

void TStreamSpooler::Seek(double seconds) {
  if (!mSource || !(seconds > 0.0)) {
    mPosition = 0;
    return;
  }
  int64_t channels = mSource->GetChannels();
  double samples = std::min(seconds * double(mSource->GetSampleRate()) * double(channels), 1e15);
  int64_t frames = int64_t(samples) / (channels ? channels : 1);
  mPosition = frames * channels * 2;
}

double TStreamSpooler::GetDuration() const { return mSource ? mSource->GetDuration() : 0.0; }

void TStreamSpooler::Release() { mSource.reset(); }
