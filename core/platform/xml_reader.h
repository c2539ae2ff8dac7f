#pragma once
// The character sources of the XML reader and the reader itself.

#include <cstdint>

#include "platform/engine_string.h"
#include "platform/file.h"

class TXmlNode;

// A byte source with the reader's parse state.
class TGetChar {
 public:
  explicit TGetChar(const TString& sourceName) : mSourceName(sourceName) {}
  virtual ~TGetChar() = default;
  // Steps back one byte; answers c, or -1 when it cannot.
  virtual int UngetChar(int c) = 0;
  // The next byte as 0..255, or -1 at the end.
  virtual int GetChar() = 0;
  virtual void Rewind() = 0;

  const TString& SourceName() const { return mSourceName; }
  bool stop = false;        // every read gives -1 once set
  int depth = 0;
  int mode = 0;             // 0: the whole input
  bool endOfInput = false;
  bool topClosed = false;

 private:
  TString mSourceName;
};

class TGetCharFile : public TGetChar {
 public:
  TGetCharFile(const TString& name, TFilePtr file) : TGetChar(name), mFile(std::move(file)) {}
  int UngetChar(int c) override;
  int GetChar() override;
  void Rewind() override;
  bool Reopen();

 private:
  TFilePtr mFile;
};

class TGetCharString : public TGetChar {
 public:
  TGetCharString(const char* data, size_t length, const TString& sourceName = "<memory>")
      : TGetChar(sourceName), mData(reinterpret_cast<const unsigned char*>(data)), mLength(length) {}
  int UngetChar(int c) override;
  int GetChar() override;
  void Rewind() override { mPosition = 0; }

 private:
  const unsigned char* mData;
  size_t mPosition = 0;
  size_t mLength;
};

// Reads the source's elements into node, through node's callbacks.
void ParseXmlContent(TXmlNode* node, TGetChar& source);
