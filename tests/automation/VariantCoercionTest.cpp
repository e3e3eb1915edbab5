// Argument conversion the way automation converts late-bound arguments.
#include <gtest/gtest.h>

#include "automation/VariantCoercion.h"

namespace tovtest {
namespace {

using namespace tov::automation;

Variant str(std::u16string s) { return Variant::fromString(std::move(s)); }

HResult convert(const Variant& in, VarType to, Variant& out) { return changeType(in, to, out); }

TEST(VariantCoercion, NumbersAndTextConvertToLongWithBankersRounding) {
  Variant out;
  ASSERT_EQ(convert(str(u" 5 "), VarType::Long, out), kSOk);
  EXPECT_EQ(out.longValue(), 5);
  ASSERT_EQ(convert(str(u"&HFF"), VarType::Long, out), kSOk);
  EXPECT_EQ(out.longValue(), 255);
  ASSERT_EQ(convert(str(u"-1.5e1"), VarType::Long, out), kSOk);
  EXPECT_EQ(out.longValue(), -15);
  ASSERT_EQ(convert(Variant::fromDouble(2.5), VarType::Long, out), kSOk);
  EXPECT_EQ(out.longValue(), 2);
  ASSERT_EQ(convert(Variant::fromDouble(3.5), VarType::Integer, out), kSOk);
  EXPECT_EQ(out.integerValue(), 4);
  ASSERT_EQ(convert(Variant::fromBool(true), VarType::Long, out), kSOk);
  EXPECT_EQ(out.longValue(), -1);
  ASSERT_EQ(convert(Variant(), VarType::Long, out), kSOk);
  EXPECT_EQ(out.longValue(), 0);
}

TEST(VariantCoercion, ImpossibleConversionsAreMismatchesOrOverflows) {
  Variant out;
  EXPECT_EQ(convert(str(u"five"), VarType::Long, out), kDispETypeMismatch);
  EXPECT_EQ(convert(str(u""), VarType::Double, out), kDispETypeMismatch);
  EXPECT_EQ(convert(str(u"True"), VarType::Long, out), kDispETypeMismatch);
  EXPECT_EQ(convert(Variant::null(), VarType::String, out), kDispETypeMismatch);
  EXPECT_EQ(convert(Variant::fromLong(1), VarType::ByteArray, out), kDispETypeMismatch);
  EXPECT_EQ(convert(Variant::fromLong(40000), VarType::Integer, out), kDispEOverflow);
  EXPECT_EQ(convert(str(u"2147483648"), VarType::Long, out), kDispEOverflow);
}

TEST(VariantCoercion, BooleansAreExactlyMinusOneOrZero) {
  Variant out;
  ASSERT_EQ(convert(Variant::fromLong(7), VarType::Boolean, out), kSOk);
  EXPECT_EQ(static_cast<int>(out.boolValue()), -1);
  ASSERT_EQ(convert(str(u" false "), VarType::Boolean, out), kSOk);
  EXPECT_EQ(static_cast<int>(out.boolValue()), 0);
  ASSERT_EQ(convert(str(u"-1"), VarType::Boolean, out), kSOk);
  EXPECT_EQ(static_cast<int>(out.boolValue()), -1);
  EXPECT_EQ(static_cast<int>(Variant::fromBool(static_cast<VariantBool>(1)).boolValue()), -1);
  EXPECT_EQ(convert(str(u"yes"), VarType::Boolean, out), kDispETypeMismatch);
}

TEST(VariantCoercion, ValuesReadAsTextTheWayTheRuntimeWritesThem) {
  Variant out;
  auto text = [&](const Variant& v) {
    EXPECT_EQ(convert(v, VarType::String, out), kSOk);
    return out.stringValue();
  };
  EXPECT_EQ(text(Variant::fromBool(true)), u"True");
  EXPECT_EQ(text(Variant::fromDouble(0.5)), u"0.5");
  EXPECT_EQ(text(Variant::fromDouble(1e20)), u"1E+20");
  EXPECT_EQ(text(Variant::fromLong(-12)), u"-12");
  EXPECT_EQ(text(Variant::fromDate(Date{45000.5})), u"2023-03-15 12:00:00");
  EXPECT_EQ(text(Variant::fromDate(Date{-1.25})), u"1899-12-29 06:00:00");
  EXPECT_EQ(text(Variant::fromBytes(tov::ByteArray{0x41, 0x00, 0x42, 0x04})), u"A\u0442");
}

TEST(VariantCoercion, TextAndDatesConvertBothWays) {
  Variant out;
  ASSERT_EQ(convert(str(u"2023-03-15 12:00:00"), VarType::Date, out), kSOk);
  EXPECT_DOUBLE_EQ(out.dateValue().value, 45000.5);
  ASSERT_EQ(convert(str(u"1899-12-29T06:00"), VarType::Date, out), kSOk);
  EXPECT_DOUBLE_EQ(out.dateValue().value, -1.25);
  ASSERT_EQ(convert(str(u"2024-02-29"), VarType::Date, out), kSOk);
  // Days the calendar does not have are not dates, not the next month's.
  EXPECT_EQ(convert(str(u"2023-02-29"), VarType::Date, out), kDispETypeMismatch);
  EXPECT_EQ(convert(str(u"2023-04-31 10:00"), VarType::Date, out), kDispETypeMismatch);
  EXPECT_EQ(convert(str(u"2023-03-15 24:00"), VarType::Date, out), kDispETypeMismatch);
  ASSERT_EQ(convert(str(u"AB"), VarType::ByteArray, out), kSOk);
  EXPECT_EQ(out.bytesValue(), (tov::ByteArray{0x41, 0x00, 0x42, 0x00}));
}

TEST(VariantCoercion, ByReferenceValuesConvertWhatTheyPointAt) {
  Variant target = str(u"12");
  Variant out;
  ASSERT_EQ(convert(Variant::byRef(&target), VarType::Long, out), kSOk);
  EXPECT_EQ(out.longValue(), 12);
  EXPECT_FALSE(out.isByRef());
  EXPECT_TRUE(Variant::byRef(&target) == target);
}

TEST(Guids, ParseTheRegistryFormsAndRejectEverythingElse) {
  const Guid g = makeGuid("00020400-0000-0000-C000-000000000046");
  EXPECT_EQ(g.toString(), u"{00020400-0000-0000-C000-000000000046}");
  EXPECT_EQ(Guid::parse(u"{00020400-0000-0000-c000-000000000046}"), g);
  EXPECT_EQ(Guid::parse(u"00020400-0000-0000-C000-000000000046"), g);
  EXPECT_FALSE(Guid::parse(u"{00020400-0000-0000-C000-00000000004}"));
  EXPECT_FALSE(Guid::parse(u"{00020400-0000-0000-C000+000000000046}"));
  EXPECT_FALSE(Guid::parse(u"(00020400-0000-0000-C000-000000000046)"));
  EXPECT_FALSE(Guid::parse(u"{0002040G-0000-0000-C000-000000000046}"));
}

}  // namespace
}  // namespace tovtest
