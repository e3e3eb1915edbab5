#include "platform/DosAttributeRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tov::platform;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes fromHex(const std::string& hex) {
  Bytes out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return out;
}

void add32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void add64(Bytes& b, std::uint64_t v) {
  add32(b, static_cast<std::uint32_t>(v));
  add32(b, static_cast<std::uint32_t>(v >> 32));
}

// A version-3 record as older servers wrote it: the hex text first, so the
// fields start at 12 rather than 8.
Bytes version3(const std::string& text, std::uint32_t flags, std::uint32_t attributes, std::uint64_t created) {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  while (b.size() % 2) b.push_back(0);
  b.insert(b.end(), {3, 0, 3, 0});
  while (b.size() % 4) b.push_back(0);
  add32(b, flags);
  add32(b, attributes);
  add32(b, 0);             // EA size
  add64(b, 1234);          // size
  add64(b, 4096);          // allocation size
  add64(b, created);
  add64(b, 0x01d0000000000077ULL);  // change time
  return b;
}

constexpr std::uint64_t kCreated = 0x01dd86ae7d0de678ULL;

}  // namespace

TEST(DosAttributeRecord, RecordsAServerWroteForItsClients) {
  // Hidden file, read-only+hidden+system file, hidden directory: what a
  // client's "hidden" and "read-only" leave behind on a share.
  for (const auto& [hex, attributes] : std::vector<std::pair<std::string, std::uint32_t>>{
           {"0000050005000000110000000200000078e60d7dae86dd01", 0x02},
           {"0000050005000000110000000700000078e60d7dae86dd01", 0x07},
           {"00000500050000001100000012000000783ec38dae86dd01", 0x12}}) {
    const auto record = parseDosAttributeRecord(fromHex(hex));
    ASSERT_TRUE(record) << hex;
    EXPECT_TRUE(record->binary);
    EXPECT_EQ(record->version, 5);
    EXPECT_TRUE(record->hasAttributes);
    EXPECT_EQ(record->attributes, attributes);
  }
  EXPECT_EQ(parseDosAttributeRecord(fromHex("0000050005000000110000000200000078e60d7dae86dd01"))->creationTime, kCreated);

  const auto v3 = parseDosAttributeRecord(version3("0x21", 0x11, 0x21, kCreated));
  ASSERT_TRUE(v3);
  EXPECT_EQ(v3->version, 3);
  EXPECT_EQ(v3->attributes, 0x21u);
  EXPECT_EQ(v3->creationTime, kCreated);

  Bytes v4 = {0, 0, 4, 0, 4, 0, 0, 0};
  add32(v4, 0x13);
  add32(v4, 0x20);
  add64(v4, 0x01d0000000000001ULL);  // the inode's birth time comes before the creation time
  add64(v4, kCreated);
  const auto r4 = parseDosAttributeRecord(v4);
  ASSERT_TRUE(r4);
  EXPECT_EQ(r4->attributes, 0x20u);
  EXPECT_EQ(r4->creationTime, kCreated);
}

TEST(DosAttributeRecord, HexTextInEveryShapeAServerAccepts) {
  for (const auto& [text, attributes] : std::vector<std::pair<std::string, std::uint32_t>>{
           {"0x22", 0x22}, {std::string("0x3\0", 4), 0x3}, {"0X2", 0x2}, {" 0x26 ", 0x26}, {"22", 0x22}, {"0x2000", 0x2000}}) {
    const auto record = parseDosAttributeRecord(bytes(text));
    ASSERT_TRUE(record) << text;
    EXPECT_FALSE(record->binary);
    EXPECT_EQ(record->attributes, attributes) << text;
    EXPECT_EQ(record->creationTime, 0u);
  }
}

TEST(DosAttributeRecord, DamagedValuesAreNoRecord) {
  const Bytes good = fromHex("0000050005000000110000000200000078e60d7dae86dd01");
  std::vector<Bytes> bad = {
      {},
      {0},
      bytes("garbage"),
      bytes("0x"),
      bytes(std::string("0x2\0\0\0\0\0", 8)),  // version 0
      Bytes(good.begin(), good.end() - 1),      // one byte short of the creation time
      Bytes(good.begin(), good.begin() + 3),    // cut inside the version
  };
  Bytes levelDiffers = good;
  levelDiffers[4] = 4;
  bad.push_back(levelDiffers);
  Bytes unknownVersion = good;
  unknownVersion[2] = unknownVersion[4] = 6;
  bad.push_back(unknownVersion);
  Bytes cutVersion3 = version3("", 0x11, 0x20, kCreated);
  cutVersion3.resize(cutVersion3.size() - 9);
  bad.push_back(cutVersion3);
  for (const Bytes& value : bad) EXPECT_FALSE(parseDosAttributeRecord(value)) << value.size() << " bytes";
}

TEST(DosAttributeRecord, FieldsCountOnlyWithTheirValidFlag) {
  // Creation time without attributes: the attributes field says nothing.
  Bytes value = fromHex("0000050005000000100000000700000078e60d7dae86dd01");
  auto record = parseDosAttributeRecord(value);
  ASSERT_TRUE(record);
  EXPECT_FALSE(record->hasAttributes);
  EXPECT_EQ(record->creationTime, kCreated);
  value[8] = 0x01;  // attributes only: the time is not the file's
  record = parseDosAttributeRecord(value);
  EXPECT_TRUE(record->hasAttributes);
  EXPECT_EQ(record->creationTime, 0u);
}

TEST(DosAttributeRecord, RewriteChangesOnlyTheAttributes) {
  const Bytes v5 = fromHex("0000050005000000110000000200000078e60d7dae86dd01");
  EXPECT_EQ(dosAttributeValue(parseDosAttributeRecord(v5), 0x21),
            fromHex("0000050005000000110000002100000078e60d7dae86dd01"));

  // A record whose attributes were not valid gets the flag; the creation
  // time's flag and value stay.
  EXPECT_EQ(dosAttributeValue(parseDosAttributeRecord(fromHex("0000050005000000100000000000000078e60d7dae86dd01")), 0x2),
            fromHex("0000050005000000110000000200000078e60d7dae86dd01"));

  // The text of an older record follows the attributes; its length moves
  // the fields, which come through whole.
  const Bytes old = version3("0x20", 0x31, 0x20, kCreated);
  const Bytes rewritten = dosAttributeValue(parseDosAttributeRecord(old), 0x1027);
  const Bytes expected = version3("0x1027", 0x31, 0x1027, kCreated);
  EXPECT_EQ(rewritten, expected);
  const auto again = parseDosAttributeRecord(rewritten);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->attributes, 0x1027u);
  EXPECT_EQ(again->creationTime, kCreated);

  // Without a binary record the hex text is written.
  EXPECT_EQ(dosAttributeValue(std::nullopt, 0x22), bytes("0x22"));
  EXPECT_EQ(dosAttributeValue(parseDosAttributeRecord(bytes("0x2")), 0x20), bytes("0x20"));
}

TEST(DosAttributeRecord, EveryVersionRoundTrips) {
  std::vector<Bytes> records;
  for (std::uint16_t version : {1, 2, 3, 4, 5, 0xFFFF}) {
    Bytes b = {0, 0, static_cast<std::uint8_t>(version), static_cast<std::uint8_t>(version >> 8),
               static_cast<std::uint8_t>(version), static_cast<std::uint8_t>(version >> 8), 0, 0};
    for (int i = 0; i < 60; ++i) b.push_back(static_cast<std::uint8_t>(i == 0 ? 0x11 : 0x40 + i));
    records.push_back(b);
  }
  for (const Bytes& record : records) {
    const auto parsed = parseDosAttributeRecord(record);
    ASSERT_TRUE(parsed) << record[2];
    for (std::uint32_t attributes : {0x0u, 0x1u, 0x26u, 0x2027u}) {
      const Bytes value = dosAttributeValue(parsed, attributes);
      ASSERT_EQ(value.size(), record.size());
      const auto back = parseDosAttributeRecord(value);
      ASSERT_TRUE(back);
      EXPECT_EQ(back->version, parsed->version);
      EXPECT_EQ(back->attributes, attributes);
      EXPECT_EQ(back->creationTime, parsed->creationTime);
      // Every byte but the attributes (and the valid flag) is the old one.
      for (std::size_t i = 0; i < value.size(); ++i) {
        if (i >= parsed->attributesAt && i < parsed->attributesAt + 4) continue;
        if (i == parsed->validFlagsAt) continue;
        EXPECT_EQ(value[i], record[i]) << "version " << parsed->version << " byte " << i;
      }
    }
  }
}
