#pragma once
// TXmlNode: an element of the engine's small, tolerant XML reader and writer. The reader
// works on tokens: it never rejects a document, folds white space in text to single blanks
// and keeps character data as bytes. Loaded documents hang below the node the load was
// called on. A text or file beginning with "ZXML" is compressed XML.

#include <cstring>
#include <memory>
#include <vector>

#include "platform/engine_string.h"

// Elements nested deeper than this end the parse with a log line.
constexpr int MaxXmlDepth = 256;

struct TXmlAttribute {
  TString name;
  TString value;
  bool quoted = false;  // the value was written between double quotes
  TString GetValue() const { return value; }
};

class TXmlNode {
 public:
  TXmlNode() = default;
  explicit TXmlNode(const char* name) : mName(name) {}
  TXmlNode(const TXmlNode&) = delete;
  TXmlNode& operator=(const TXmlNode&) = delete;
  virtual ~TXmlNode() = default;

  // Reader callbacks.
  virtual TXmlNode* OnChild(const TString& name);
  virtual void OnEndElement() {}
  virtual void OnText(const char* text, uint32_t length);
  virtual void OnAttribute(const TString& name, const TString& value, bool quoted);

  // Reads a file (plain or ZXML) through the file layer; false when it cannot be opened or
  // a ZXML image is corrupt (logged). Nothing is added then.
  bool LoadFile(const TString& name);
  // Reads size bytes of text or a ZXML image.
  bool ParseBuffer(const char* data, size_t size, const TString& sourceName = "<memory>");
  // Reads a NUL-terminated text. A ZXML image needs ParseBuffer: its length is unknown here.
  bool ParseString(const char* text) { return ParseBuffer(text, strlen(text)); }

  const TString& GetName() const { return mName; }
  const TString& GetText() const { return mText; }
  void SetText(const TString& text) { mText = text; }
  TXmlNode* GetChild(const TString& name) const;
  void ResetChildIterator() { mIterator = 0; }
  bool GetNextChild(TString& name, TXmlNode*& node);
  const std::vector<std::unique_ptr<TXmlNode>>& GetChildren() const { return mChildren; }
  const std::vector<TXmlAttribute>& GetAttributes() const { return mAttributes; }
  TString GetAttribute(const TString& name, bool* quoted = nullptr) const;

  TXmlNode* AddChild(const TString& name);
  void SetAttribute(const TString& name, const TString& value);
  void SetAttribute(const TString& name, int value);
  // The subtree as indented XML text.
  TString Write();

 protected:
  // Subclasses that collect children of their own kind store them here.
  TXmlNode* AppendChild(std::unique_ptr<TXmlNode> child);

 private:
  void WriteTo(TString& out, uint32_t indent) const;

  TString mText;
  uint32_t mSizeHint = 4096;
  TString mName;
  std::vector<std::unique_ptr<TXmlNode>> mChildren;
  size_t mIterator = 0;
  std::vector<TXmlAttribute> mAttributes;
};

// Bytes below 0x20 and from 0x80 up as "&#n;", the five special characters as entities.
TString XmlEscape(const TString& text);
