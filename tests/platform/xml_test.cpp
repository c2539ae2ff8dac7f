#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "platform/log.h"
#include "platform/xml_node.h"
#include "platform/xml_reader.h"
#include "platform/zxml.h"
#include "test_util.h"

namespace {

// The element path text of a tree, for comparing two trees.
std::string Dump(const TXmlNode& node) {
  std::string out = std::string("(") + node.GetName().c_str();
  for (const auto& a : node.GetAttributes())
    out += std::string(" ") + a.name.c_str() + (a.quoted ? "=\"" : "=") + a.value.c_str() + (a.quoted ? "\"" : "");
  if (!node.GetText().IsEmpty()) out += std::string(" '") + node.GetText().c_str() + "'";
  for (const auto& c : node.GetChildren()) out += Dump(*c);
  return out + ")";
}

std::string Parse(const char* text) {
  TXmlNode root;
  root.ParseString(text);
  return Dump(root);
}

}  // namespace

TEST(Xml, TolerantParsingTable) {
  struct {
    const char* text;
    const char* tree;
  } cases[] = {
      {"<a>  several   blanks\n and\tbreaks  </a>", "((a 'several blanks and breaks'))"},
      {"<a x=plain y=\"quoted value\"/>", "((a x=plain y=\"quoted value\"))"},
      {"<a v=\"&#233;\" w=\"&#195;&#169;\"/>", "((a v=\"\xe9\" w=\"\xc3\xa9\"))"},
      {"<a v=\"&lt;b&gt; &amp; &quot;&apos;\"/>", "((a v=\"<b> & \"'\"))"},
      {"<r><br/><next/></r>", "((r(br)(next)))"},
      {"<r><br /></r>", "((r(br)))"},
      {"<?xml version=\"1.0\"?><!DOCTYPE x><!-- note --><r/>", "((?xml version=\"1.0\")(!DOCTYPE)(!--)(r))"},
      {"<r>say \"hi\" there</r>", "((r 'say hi there'))"},
      {"<r a=1 a=2/>", "((r a=1 a=2))"},
      {"<r><a></b>text</r>", "((r 'text'(a)))"},
      {"<r><a>unclosed", "((r(a 'unclosed')))"},
      {"</stray><r/>", "()"},
      {"&#38;amp &unknown; &#x41; &#65", "( '&amp &unknown; &#65')"},
      {"", "()"},
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(c.text), c.tree) << c.text;
}

TEST(Xml, NumericReferencesAbove255BecomeUtf8) {
  // Only the low 8 bits were kept: "&#8364;" (the euro sign) turned into a stray 0xAC.
  EXPECT_EQ(Parse("<a v=\"&#8364;&#256;\"/>"), "((a v=\"\xe2\x82\xac\xc4\x80\"))");
  EXPECT_EQ(Parse("<a v=\"x&#0;y&#65279;z\"/>"), "((a v=\"xyz\"))");  // nothing for 0 or a BOM
}

TEST(Xml, DeepNestingIsCapped) {
  TTempFolder folder;
  OpenLogFile(folder.Path().c_str());
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  TXmlNode root;
  root.ParseBuffer(deep.data(), deep.size(), "deep.xml");  // once overflowed the stack
  int depth = 0;
  for (const TXmlNode* n = &root; !n->GetChildren().empty(); n = n->GetChildren().front().get()) ++depth;
  EXPECT_EQ(depth, MaxXmlDepth + 1);
  EXPECT_NE(ReadTextFile(GetLogPath()).find("deep.xml: XML elements nested deeper than"), std::string::npos);
  OpenLogFile(nullptr);
}

TEST(Xml, AccessorsAndIteration) {
  TXmlNode root;
  root.ParseString("<r><a k=\"1\"/><b>t</b><a k=\"2\"/></r>");
  TXmlNode* r = root.GetChild("r");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->GetChild("R"), nullptr);  // byte comparison, case-sensitive
  EXPECT_STREQ(r->GetChild("a")->GetAttribute("k").c_str(), "1");
  bool quoted = false;
  EXPECT_STREQ(r->GetChild("a")->GetAttribute("k", &quoted).c_str(), "1");
  EXPECT_TRUE(quoted);
  EXPECT_STREQ(r->GetChild("a")->GetAttribute("missing").c_str(), "");
  std::string order;
  TString name;
  TXmlNode* child = nullptr;
  r->ResetChildIterator();
  while (r->GetNextChild(name, child)) order += name.c_str();
  EXPECT_EQ(order, "aba");
}

TEST(Xml, WriterRoundTrip) {
  TXmlNode top("settings");
  TXmlNode* item = top.AddChild("item");
  item->SetAttribute("name", "Grüße <&> \"x\"");
  item->SetAttribute("count", 12);
  item->SetAttribute("count", 13);  // replaces
  item->SetText("Text mit Umlauten: äöü");
  top.AddChild("empty");
  TString written = top.Write();
  EXPECT_NE(std::string(written.c_str()).find("<item\n        name=\"Gr&#195;&#188;&#195;&#159;e &lt;&amp;&gt; &quot;x&quot;\""),
            std::string::npos)
      << written.c_str();
  TXmlNode back;
  back.ParseString(written.c_str());
  TXmlNode* again = back.GetChild("settings");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(Dump(*again), Dump(top));

  // An unquoted attribute is written back unquoted.
  TXmlNode parsed;
  parsed.ParseString("<a x=plain>t</a>");
  EXPECT_STREQ(parsed.GetChild("a")->Write().c_str(), "<a\n    x=plain>\nt\n</a>\n");
  EXPECT_STREQ(XmlEscape("a\tb\x80").c_str(), "a&#9;b&#128;");
}

TEST(Xml, HighBytesFromMemoryAndFileAlike) {
  const char text[] = "<a>\xe9\xff</a>";
  TGetCharString source(text, sizeof text - 1);
  for (int i = 0; i < 3; ++i) source.GetChar();
  EXPECT_EQ(source.GetChar(), 0xE9);
  EXPECT_EQ(source.GetChar(), 0xFF);

  TTempFolder folder;
  WriteTextFile(folder / "a.xml", text);
  TXmlNode fromFile, fromMemory;
  EXPECT_TRUE(fromFile.LoadFile("::" + (folder / "a.xml")));
  fromMemory.ParseString(text);
  EXPECT_EQ(Dump(fromFile), Dump(fromMemory));
  TXmlNode missing;
  EXPECT_FALSE(missing.LoadFile("::" + (folder / "absent.xml")));
  EXPECT_TRUE(missing.GetChildren().empty());
}

TEST(Zxml, ReadsEqualToThePlainFile) {
  std::string plain = ReadTextFile(Fixture("settings_sample.xml").c_str());
  ASSERT_FALSE(plain.empty());
  TXmlNode a, b, c;
  ASSERT_TRUE(a.LoadFile(("::" + Fixture("settings_sample.xml")).c_str()));
  ASSERT_TRUE(b.LoadFile(("::" + Fixture("settings_sample.zxml")).c_str()));
  std::string image = EncodeZxml(plain);
  ASSERT_TRUE(c.ParseBuffer(image.data(), image.size()));
  EXPECT_EQ(Dump(a), Dump(b));
  EXPECT_EQ(Dump(a), Dump(c));
  EXPECT_NE(a.GetChild("settings"), nullptr);
}

TEST(Zxml, ClaimedLengthsAreBoundedByTheImage) {
  // Each header once drove an allocation or a read by its claims alone.
  TTempFolder folder;
  OpenLogFile(folder.Path().c_str());
  struct {
    const char* fixture;
    const char* message;
  } cases[] = {
      {"zxml_short_stream.zxml", "compressed bytes but holds"},
      {"zxml_huge_text.zxml", "bytes of text, more than"},
      {"zxml_corrupt_stream.zxml", "does not decompress"},
      {"zxml_truncated_header.zxml", "truncated in its header"},
      {"zxml_text_longer_than_claimed.zxml", "does not decompress"},
  };
  for (const auto& c : cases) {
    TXmlNode node;
    EXPECT_FALSE(node.LoadFile(("::" + Fixture(c.fixture)).c_str())) << c.fixture;
    EXPECT_TRUE(node.GetChildren().empty());
    std::string log = ReadTextFile(GetLogPath());
    EXPECT_NE(log.find(std::string(c.fixture) + ": ZXML image"), std::string::npos) << c.fixture;
    EXPECT_NE(log.find(c.message), std::string::npos) << c.fixture;
  }
  OpenLogFile(nullptr);
}
