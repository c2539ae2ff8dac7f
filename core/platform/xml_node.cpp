#include "platform/xml_node.h"

#include <cstring>
#include <string>

#include "platform/file.h"
#include "platform/xml_reader.h"
#include "platform/zxml.h"

TXmlNode* TXmlNode::AppendChild(std::unique_ptr<TXmlNode> child) {
  mChildren.push_back(std::move(child));
  return mChildren.back().get();
}

TXmlNode* TXmlNode::OnChild(const TString& name) { return AddChild(name); }

void TXmlNode::OnText(const char* text, uint32_t length) {
  if (!mText.IsEmpty()) mText += ' ';
  mText.Append(text, length);
}

void TXmlNode::OnAttribute(const TString& name, const TString& value, bool quoted) {
  mAttributes.push_back({name, value, quoted});
}

bool TXmlNode::LoadFile(const TString& name) {
  TFilePtr file = FileOpen(name, FileReadRaw);
  if (!file) return false;
  char magic[4];
  if (file->Read(magic, 4) == 4 && IsZxmlImage(magic, 4)) {
    std::string image;
    file.reset();
    if (!ReadWholeFile(name, image)) return false;
    return ParseBuffer(image.data(), image.size(), name);
  }
  file->Seek(0, SeekStart);
  TGetCharFile source(name, std::move(file));
  ParseXmlContent(this, source);
  return true;
}

bool TXmlNode::ParseBuffer(const char* data, size_t size, const TString& sourceName) {
  if (IsZxmlImage(data, size)) {
    std::string text;
    if (!DecodeZxml(data, size, text, sourceName)) return false;
    TGetCharString source(text.data(), text.size(), sourceName);
    ParseXmlContent(this, source);
    return true;
  }
  TGetCharString source(data, size, sourceName);
  ParseXmlContent(this, source);
  return true;
}

TXmlNode* TXmlNode::GetChild(const TString& name) const {
  for (const auto& child : mChildren)
    if (!strcmp(child->mName.c_str(), name.c_str())) return child.get();
  return nullptr;
}

bool TXmlNode::GetNextChild(TString& name, TXmlNode*& node) {
  if (mIterator >= mChildren.size()) return false;
  node = mChildren[mIterator++].get();
  name = node->mName;
  return true;
}

TString TXmlNode::GetAttribute(const TString& name, bool* quoted) const {
  for (const auto& attribute : mAttributes) {
    if (strcmp(attribute.name.c_str(), name.c_str())) continue;
    if (quoted) *quoted = attribute.quoted;
    return attribute.value;
  }
  return TString();
}

TXmlNode* TXmlNode::AddChild(const TString& name) {
  auto child = std::make_unique<TXmlNode>();
  child->mName = name;
  return AppendChild(std::move(child));
}

void TXmlNode::SetAttribute(const TString& name, const TString& value) {
  for (auto& attribute : mAttributes) {
    if (strcmp(attribute.name.c_str(), name.c_str())) continue;
    attribute.value = value;
    attribute.quoted = true;
    return;
  }
  mAttributes.push_back({name, value, true});
}

void TXmlNode::SetAttribute(const TString& name, int value) { SetAttribute(name, TString::Printf("%d", value)); }

TString TXmlNode::Write() {
  TString out;
  out.Reserve(mSizeHint);
  WriteTo(out, 0);
  if (out.Length() > mSizeHint) mSizeHint = out.Length() + 1;
  return out;
}

void TXmlNode::WriteTo(TString& out, uint32_t indent) const {
  TString pad(std::string(indent, ' '));
  TString inner(std::string(indent + 4, ' '));
  out += pad + "<" + mName;
  for (const auto& attribute : mAttributes) {
    out += "\n" + inner + XmlEscape(attribute.name) + "=";
    out += attribute.quoted ? "\"" + XmlEscape(attribute.value) + "\"" : XmlEscape(attribute.value);
  }
  out += ">\n";
  if (!mText.IsEmpty()) out += pad + XmlEscape(mText) + "\n";
  for (const auto& child : mChildren) child->WriteTo(out, indent + 4);
  out += pad + "</" + XmlEscape(mName) + ">\n";
}

TString XmlEscape(const TString& text) {
  TString out;
  out.Reserve(text.Length() * 2 + 1);
  uint32_t length = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text.c_str()); *p; ++p) {
    const char* entity = nullptr;
    switch (*p) {
      case '&': entity = "&amp;"; break;
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      case '"': entity = "&quot;"; break;
      case '\'': entity = "&apos;"; break;
      default: break;
    }
    char number[8];
    if (!entity && (*p < 0x20 || *p >= 0x80)) {
      snprintf(number, sizeof number, "&#%d;", *p);
      entity = number;
    }
    if (entity)
      length = out.WriteAt(int32_t(length), entity, uint32_t(strlen(entity)), true);
    else
      length = out.WriteAt(int32_t(length), p, 1, true);
  }
  return out;
}
