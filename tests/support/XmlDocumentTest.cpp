#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include <filesystem>
#include <string>
#include <thread>

#include "TempDir.h"
#include "platform/Utf.h"
#include "support/ErrorRecord.h"
#include "support/XmlDocument.h"
#include "support/XmlFileReader.h"

using namespace tov;

namespace {

class XmlDocumentTest : public ::testing::Test {
 protected:
  // Writes `bytes` to a file and loads it into doc_.
  bool load(const std::string& bytes) {
    const auto path = dir_ / "log.xml";
    tovtest::writeBytes(path, bytes);
    return doc_.LoadFile(tovtest::u16(path));
  }
  std::u16string reason() const { return doc_.LoadError().ReasonText(); }
  std::u16string text(std::u16string_view xpath) const {
    return doc_.NodeText(doc_.RootNode().QueryNode(xpath));
  }

  tovtest::TempDir dir_{"xml"};
  XmlDocument doc_;
};

// UTF-16 bytes of `text` with a byte-order mark.
std::string utf16(std::u16string_view text, bool bigEndian) {
  std::string out;
  auto put = [&](char16_t c) {
    const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  };
  put(0xFEFF);
  for (char16_t c : text) put(c);
  return out;
}

const char* const kLog =
    "<?xml version=\"1.0\"?>\n"
    "<Log FirstSessionID=\"1\">"
    "<Message Date=\"05.03.2010\" Time=\"21:14:02\"><From><User FriendlyName=\"Alice\"/></From>"
    "<To><User FriendlyName=\"Bob &amp; Co\"/></To><Text>hello\r\nagain</Text></Message>"
    "<Message Date=\"06.03.2010\" Time=\"08:00:00\"><From><User FriendlyName=\"Bob &amp; Co\"/></From>"
    "<To><User FriendlyName=\"Alice\"/></To><Text>a<b>b</b><![CDATA[<c>]]>d</Text></Message>"
    "<Message Date=\"07.03.2010\" Time=\"09:30:00\"><From><User FriendlyName=\"Alice\"/></From>"
    "<To><User FriendlyName=\"Bob &amp; Co\"/></To><Text> </Text></Message>"
    "</Log>";

TEST_F(XmlDocumentTest, ParseErrorsNameLineAndColumnInCharacters) {
  EXPECT_FALSE(load("<Log>\n  <Message Date=1/>\n</Log>"));
  EXPECT_EQ(reason(), u"Error parsing element attribute at line 2, column 17.");
  EXPECT_EQ(doc_.LoadError().Line(), 2);
  EXPECT_EQ(doc_.LoadError().Column(), 17);

  // CR LF and a lone CR end a line; each Cyrillic letter is one column
  // although two bytes; entities before the error do not shift it.
  const std::u16string bad = u"<Лог a=\"&amp;&lt;\">\r\n\r<Сообщение x=1/></Лог>";
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian);
    EXPECT_FALSE(load(utf16(bad, bigEndian)));
    EXPECT_EQ(doc_.LoadError().Line(), 3);
    EXPECT_EQ(doc_.LoadError().Column(), 14);
  }
  EXPECT_FALSE(load("\xEF\xBB\xBF<a>\xD0\xB6<b x=1/></a>"));
  EXPECT_EQ(doc_.LoadError().Line(), 1);
  EXPECT_EQ(doc_.LoadError().Column(), 10);
}

TEST_F(XmlDocumentTest, FilesThatCannotBeReadFailWithTheSystemReason) {
  EXPECT_FALSE(doc_.LoadFile(tovtest::u16(dir_ / "missing.xml")));
  EXPECT_EQ(reason(), u"The system cannot find the file specified.");
  EXPECT_FALSE(doc_.LoadFile(tovtest::u16(dir_ / "nowhere" / "missing.xml")));
  EXPECT_EQ(reason(), u"The system cannot find the file specified.");
  EXPECT_FALSE(doc_.LoadFile(tovtest::u16(dir_.path())));
  EXPECT_EQ(reason(), u"The name is a folder, not a file.");
  // A name with a NUL must not open the file named by its first part.
  ASSERT_TRUE(load("<a/>"));
  EXPECT_FALSE(doc_.LoadFile(tovtest::u16(dir_ / "log.xml") + std::u16string(1, u'\0') + u"x"));
  EXPECT_NE(reason().find(u"null character"), std::u16string::npos);

  // A file of 2 GiB is refused before a byte of it is read.
  const auto huge = dir_ / "huge.xml";
  tovtest::writeBytes(huge, "");
  std::filesystem::resize_file(huge, XmlFileReader::kSizeLimit);
  EXPECT_FALSE(doc_.LoadFile(tovtest::u16(huge)));
  EXPECT_NE(reason().find(u"too large"), std::u16string::npos);
}

TEST_F(XmlDocumentTest, MalformedContentFailsWithAReason) {
  EXPECT_FALSE(load(""));
  EXPECT_EQ(reason(), u"The file is empty.");

  std::string binary;
  for (unsigned i = 0, x = 12345; i < 4096; ++i, x = x * 1103515245 + 12345)
    binary += static_cast<char>(x >> 16);
  EXPECT_FALSE(load(binary));
  EXPECT_FALSE(reason().empty());

  const std::string log = kLog;
  for (std::size_t cut : {log.size() / 3, log.size() - 7, log.size() - 1}) {
    EXPECT_FALSE(load(log.substr(0, cut))) << cut;
    EXPECT_NE(reason().find(u" at line "), std::u16string::npos);
  }
  EXPECT_FALSE(load("<Log><Message/>"));
  // A failed load leaves nothing for queries to find.
  EXPECT_EQ(doc_.RootNode().QueryNodes(u"//*").Count(), 0);
}

TEST_F(XmlDocumentTest, ReadsUtf8AndUtf16WithByteOrderMarks) {
  const std::u16string log = u"<Log><User Name=\"Алиса 😀\">Привет, 世界</User></Log>";
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian);
    ASSERT_TRUE(load(utf16(log, bigEndian))) << std::string(reason().begin(), reason().end());
    EXPECT_EQ(text(u"/Log/User/@Name"), u"Алиса 😀");
    EXPECT_EQ(text(u"/Log/User"), u"Привет, 世界");
  }
  ASSERT_TRUE(load("\xEF\xBB\xBF<a>\xD0\x96</a>"));
  EXPECT_EQ(text(u"/a"), u"Ж");
}

// A pipe ends only when its writer says so and a device may never end:
// neither is read at all. This writer keeps its end open for two seconds;
// the refusal must not wait for it.
TEST_F(XmlDocumentTest, RefusesPipesAndDevicesAtOnce) {
  const auto fifo = dir_ / "pipe.xml";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int writer = open(fifo.c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(write(writer, kLog, std::strlen(kLog)), static_cast<ssize_t>(std::strlen(kLog)));
  std::thread closer([&] {
    std::this_thread::sleep_for(std::chrono::seconds(2));
    close(writer);
  });
  const auto start = std::chrono::steady_clock::now();
  const bool loaded = doc_.LoadFile(tovtest::u16(fifo));
  const auto waited = std::chrono::steady_clock::now() - start;
  closer.join();
  EXPECT_FALSE(loaded);
  EXPECT_LT(waited, std::chrono::seconds(1));
  EXPECT_EQ(reason(), u"The name is a device, pipe or socket, not a file: only files can be loaded.");
  EXPECT_FALSE(doc_.LoadFile(u"/dev/null"));
  EXPECT_EQ(reason(), u"The name is a device, pipe or socket, not a file: only files can be loaded.");
}

// Generated files report a size of 0 and still have text: it is read.
TEST_F(XmlDocumentTest, ReadsFilesThatTellNoSize) {
  // Text, not XML: the parser gets to its end looking for the root element.
  EXPECT_FALSE(doc_.LoadFile(u"/proc/self/status"));
  EXPECT_TRUE(reason().starts_with(u"No document element found at line ")) << platform::toUtf8(reason());
  EXPECT_EQ(reason().find(u"at line 1,"), std::u16string::npos) << platform::toUtf8(reason());
}

TEST_F(XmlDocumentTest, ReadsSingleByteEncodingsNamedInTheDeclaration) {
  // "Алиса" in each page, and the byte 0x80 where the pages disagree.
  struct Case {
    const char* declaration;
    std::string name;
    std::u16string expected;
  } cases[] = {
      {"<?xml version=\"1.0\" encoding=\"windows-1251\"?>", "\xC0\xEB\xE8\xF1\xE0", u"Алиса"},
      {"<?xml version='1.0' encoding='CP1251' ?>", "\xC0\xEB\xE8\xF1\xE0", u"Алиса"},
      {"<?xml version=\"1.0\" encoding=\"cp866\"?>", "\x80\xAB\xA8\xE1\xA0", u"Алиса"},
      {"<?xml version=\"1.0\" encoding=\"IBM866\"?>", "\x80\xAB\xA8\xE1\xA0", u"Алиса"},
      {"<?xml version=\"1.0\" encoding=\"windows-1252\"?>", "\x80\xE9", u"€é"},
      {"<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>", "\x80\xE9", u"\u0080é"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.declaration);
    ASSERT_TRUE(load(std::string(c.declaration) + "\n<Log><User FriendlyName=\"" + c.name + "\">" + c.name +
                     "</User></Log>"));
    EXPECT_EQ(text(u"/Log/User/@FriendlyName"), c.expected);
    EXPECT_EQ(text(u"/Log/User"), c.expected);
  }
}

TEST_F(XmlDocumentTest, RefusesEncodingsItCannotRead) {
  EXPECT_FALSE(load("<?xml version=\"1.0\" encoding=\"x-unknown-7\"?><a/>"));
  EXPECT_EQ(reason(), u"The encoding \"x-unknown-7\" declared in the file is not supported.");
  // Single-byte text claiming to be UTF-16 would only be guessed at.
  EXPECT_FALSE(load("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>"));
  EXPECT_NE(reason().find(u"\"UTF-16\""), std::u16string::npos);
}

TEST_F(XmlDocumentTest, QueriesSelectElementsAndAttributesInDocumentOrder) {
  ASSERT_TRUE(load(kLog));
  EXPECT_EQ(text(u"/Log/Message/From/User/@FriendlyName"), u"Alice");
  EXPECT_EQ(text(u"/Log/Message/To/User/@FriendlyName"), u"Bob & Co");
  EXPECT_EQ(text(u"/Log/@FirstSessionID"), u"1");

  const XmlNodeList messages = doc_.RootNode().QueryNodes(u"/Log/Message");
  ASSERT_EQ(messages.Count(), 3);
  const XmlNode second = messages.Item(1);
  EXPECT_EQ(doc_.NodeText(second.QueryNode(u"@Date")), u"06.03.2010");
  EXPECT_EQ(doc_.NodeText(second.QueryNode(u"From/User/@FriendlyName")), u"Bob & Co");
  EXPECT_EQ(doc_.NodeText(second.QueryNode(u"Text")), u"ab<c>d");  // nested text and CDATA
  EXPECT_EQ(doc_.NodeText(messages.Item(0).QueryNode(u"Text")), u"hello\nagain");
  EXPECT_EQ(doc_.NodeText(messages.Item(2).QueryNode(u"Text")), u" ");
  // An absolute path from a message still starts at the document.
  EXPECT_EQ(second.QueryNodes(u"/Log/Message").Count(), 3);

  // Unions and reverse axes come back in document order too.
  const XmlNodeList mixed = doc_.RootNode().QueryNodes(u"//Text | //@Date");
  ASSERT_EQ(mixed.Count(), 6);
  EXPECT_EQ(doc_.NodeText(mixed.Item(0)), u"05.03.2010");
  EXPECT_EQ(doc_.NodeText(mixed.Item(1)), u"hello\nagain");
  const XmlNodeList ancestors = second.QueryNode(u"From/User").QueryNodes(u"ancestor::*");
  ASSERT_EQ(ancestors.Count(), 3);
  EXPECT_EQ(doc_.NodeText(ancestors.Item(0).QueryNode(u"@FirstSessionID")), u"1");
  // An attribute is a context like any node.
  EXPECT_EQ(doc_.NodeText(second.QueryNode(u"@Date").QueryNode(u"../Text")), u"ab<c>d");
}

TEST_F(XmlDocumentTest, MissingNodesAndBadIndexesAndExpressions) {
  ASSERT_TRUE(load(kLog));
  const XmlNode none = doc_.RootNode().QueryNode(u"/Log/Nothing");
  EXPECT_TRUE(none.IsNull());
  EXPECT_EQ(doc_.NodeText(none), u"");
  EXPECT_EQ(doc_.NodeText(XmlNode()), u"");
  EXPECT_TRUE(none.QueryNode(u"Text").IsNull());
  EXPECT_EQ(none.QueryNodes(u"*").Count(), 0);

  const XmlNodeList messages = doc_.RootNode().QueryNodes(u"/Log/Message");
  for (std::int32_t bad : {-1, 3}) {
    try {
      messages.Item(bad);
      ADD_FAILURE() << bad;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.record().number, errors::kSubscriptOutOfRange);
    }
  }
  for (const XmlNode& node : {doc_.RootNode(), none}) {
    for (const char16_t* bad : {u"///", u"count(/Log)", u"/Log[", u""}) {
      try {
        node.QueryNodes(bad);
        ADD_FAILURE() << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
      } catch (const RuntimeError& e) {
        EXPECT_EQ(e.record().number, errors::kInvalidProcedureCall);
        EXPECT_TRUE(e.record().description.starts_with(u"Invalid procedure call or argument"));
      }
    }
  }
}

TEST_F(XmlDocumentTest, ManyDistinctExpressionsStayCorrect) {
  ASSERT_TRUE(load(kLog));
  const XmlNode root = doc_.RootNode();
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 700; ++i) {
      const std::u16string position = platform::fromUtf8(std::to_string(i % 3 + 1));
      const XmlNode message = root.QueryNode(u"/Log/Message[" + position + u"][" +
                                             platform::fromUtf8(std::to_string(i)) + u" >= 0]");
      ASSERT_EQ(doc_.NodeText(message.QueryNode(u"@Date")).substr(0, 2),
                u"0" + std::u16string(1, u'5' + i % 3));
    }
  }
  // A NUL would cut the expression short where the parser reads it.
  EXPECT_THROW(root.QueryNodes(u"/Log" + std::u16string(1, u'\0') + u"junk"), RuntimeError);
}

TEST_F(XmlDocumentTest, NodesKeepTheirTreeAfterTheDocumentMovesOn) {
  ASSERT_TRUE(load(kLog));
  XmlNodeList messages;
  {
    XmlDocument other;
    tovtest::writeBytes(dir_ / "other.xml", kLog);
    ASSERT_TRUE(other.LoadFile(tovtest::u16(dir_ / "other.xml")));
    messages = other.RootNode().QueryNodes(u"/Log/Message");
  }
  EXPECT_EQ(doc_.NodeText(messages.Item(2).QueryNode(u"@Time")), u"09:30:00");

  const XmlNode first = doc_.RootNode().QueryNode(u"/Log/Message");
  ASSERT_TRUE(load("<Other/>"));
  EXPECT_EQ(doc_.NodeText(first.QueryNode(u"@Date")), u"05.03.2010");
  EXPECT_EQ(doc_.RootNode().QueryNodes(u"/Log").Count(), 0);
}

// Plain child and attribute paths are walked without the XPath engine; a
// predicate that is always true forces the engine, and both must agree.
TEST_F(XmlDocumentTest, DirectPathWalksMatchTheXPathEngine) {
  ASSERT_TRUE(load(
      "<Log><Message><From><User/><User FriendlyName='late'/></From></Message>"
      "<Message Date='d2'><From><User FriendlyName='x'/></From><Text>a<b>b</b><![CDATA[c]]></Text><Text>2</Text></Message>"
      "<Other><Message Date='nested'/></Other><p:Message Date='prefixed'/></Log>"));
  const XmlNode root = doc_.RootNode();
  for (const std::u16string path : {u"/Log/Message/From/User/@FriendlyName", u"/Log/Message/@Date", u"/Log/Message",
                                    u"/Log/Message/Text", u"/Log/Missing/@x", u"Log/Message/From"}) {
    const XmlNodeList direct = root.QueryNodes(path);
    const XmlNodeList engine = root.QueryNodes(path + u"[true()]");
    ASSERT_EQ(direct.Count(), engine.Count()) << std::string(path.begin(), path.end());
    for (std::int32_t i = 0; i < direct.Count(); ++i) {
      EXPECT_EQ(doc_.NodeText(direct.Item(i)), doc_.NodeText(engine.Item(i)));
      EXPECT_EQ(direct.Item(i).xpathNode(), engine.Item(i).xpathNode());
    }
    EXPECT_EQ(root.QueryNode(path).xpathNode(), root.QueryNode(path + u"[true()]").xpathNode());
  }
  EXPECT_EQ(text(u"/Log/Message/From/User/@FriendlyName"), u"late");
  const XmlNode second = root.QueryNodes(u"/Log/Message").Item(1);
  EXPECT_EQ(doc_.NodeText(second.QueryNode(u"Text")), u"abc");
  // From an attribute, relative steps find nothing but absolute ones still work.
  const XmlNode date = second.QueryNode(u"@Date");
  EXPECT_TRUE(date.QueryNode(u"Text").IsNull());
  EXPECT_EQ(doc_.NodeText(date.QueryNode(u"/Log/Message/@Date")), u"d2");
  std::string scratch;
  EXPECT_EQ(doc_.NodeTextUtf8(second.QueryNode(u"Text"), scratch), "abc");
}

}  // namespace
