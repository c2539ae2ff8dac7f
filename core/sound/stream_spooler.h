#pragma once
// TStreamSpooler: pulls PCM bytes for one playing stream from a sound's data source, at
// its own position, rewinding at the end when the stream loops.

#include <cstdint>
#include <memory>

class TSoundDataSource;

class TStreamSpooler {
 public:
  explicit TStreamSpooler(std::shared_ptr<TSoundDataSource> source);
  virtual ~TStreamSpooler() = default;
  TStreamSpooler(const TStreamSpooler&) = delete;
  TStreamSpooler& operator=(const TStreamSpooler&) = delete;

  // Fills buffer with bytes PCM bytes (zeroed first, so whatever is not delivered plays
  // as silence); delivered counts the real ones. True when the request was filled without
  // reaching the end, which is always so when looping, unless the sound has no data to
  // loop over.
  virtual bool Read(uint32_t bytes, void* buffer, uint32_t* delivered, bool loop);
  // Moves to a time: whole sample frames of 16-bit samples.
  virtual void Seek(double seconds);
  virtual double GetDuration() const;
  // Lets go of the source.
  virtual void Release();
  virtual void Rewind() { Seek(0.0); }

  int64_t GetPosition() const { return mPosition; }

 private:
  std::shared_ptr<TSoundDataSource> mSource;
  int64_t mPosition = 0;
};
