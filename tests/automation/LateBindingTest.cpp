// Late binding through Invoke: names and dispatch ids, named and omitted
// arguments, conversions, by-reference arguments and errors.
#include <gtest/gtest.h>

#include "TestListObject.h"
#include "automation/DispatchClient.h"

namespace tovtest {
namespace {

Variant str(std::u16string s) { return Variant::fromString(std::move(s)); }

class LateBinding : public ::testing::Test {
 protected:
  ComPtr<Dispatch> object = TestListObject::create();
  DispatchClient client{object};

  HResult call(std::u16string_view member, std::vector<Variant> args, Variant* result = nullptr,
               std::vector<NamedArgument> named = {}, CallError* error = nullptr) {
    return client.call(member, args, named, result, error);
  }
};

TEST_F(LateBinding, NamesResolveWithoutLetterCaseToTheirFixedIds) {
  std::vector<DispId> ids;
  EXPECT_EQ(client.idsOf(u"ITEM", {}, ids), kSOk);
  EXPECT_EQ(ids[0], kDispIdValue);
  EXPECT_EQ(client.idsOf(u"newenum", {}, ids), kSOk);
  EXPECT_EQ(ids[0], kDispIdNewEnum);
  const std::u16string_view params[] = {u"flag", u"TEXT", u"nothing"};
  EXPECT_EQ(client.idsOf(u"describe", params, ids), kDispEUnknownName);
  EXPECT_EQ(ids, (std::vector<DispId>{kMemberDispIdBase + 5, 3, 0, kDispIdUnknown}));
  EXPECT_EQ(client.idsOf(u"NoSuchMember", {}, ids), kDispEUnknownName);
  EXPECT_EQ(ids[0], kDispIdUnknown);
}

TEST_F(LateBinding, OmittedOptionalArgumentsTakeTheirDefaultsOrArriveMissing) {
  Variant r;
  ASSERT_EQ(call(u"Describe", {str(u"ab")}, &r), kSOk);
  EXPECT_EQ(r.stringValue(), u"abab|missing|T");
  // Missing given explicitly in a position counts as omitted.
  ASSERT_EQ(call(u"Describe", {str(u"x"), Variant::missing(), str(u"e"), Variant::fromBool(false)}, &r), kSOk);
  EXPECT_EQ(r.stringValue(), u"xx|e|F");
  ASSERT_EQ(call(u"Describe", {str(u"x")}, &r, {{u"flag", Variant::fromLong(0)}, {u"Times", str(u"3")}}), kSOk);
  EXPECT_EQ(r.stringValue(), u"xxx|missing|F");
}

TEST_F(LateBinding, ArgumentCountAndNamingFaultsGiveTheStandardCodes) {
  EXPECT_EQ(call(u"Describe", {}), kDispEParamNotOptional);
  EXPECT_EQ(call(u"IsPositive", {Variant::fromLong(1), Variant::fromLong(2)}), kDispEBadParamCount);
  const DispId named[] = {0};
  const Variant values[] = {str(u"again")};
  const Variant args[] = {str(u"first")};
  EXPECT_EQ(client.invoke(kMemberDispIdBase + 5, kDispatchMethod, args, named, values, nullptr, nullptr),
            kDispEParamNotFound);
  CallError e;
  EXPECT_EQ(client.invoke(kMemberDispIdBase + 5, kDispatchMethod, args, named, values, nullptr, &e),
            kDispEParamNotFound);
  EXPECT_EQ(e.record.description, u"Named argument not found");
  // A misspelt argument name of a member that exists is the same error,
  // not "doesn't support this property or method".
  EXPECT_EQ(call(u"Describe", {str(u"x")}, nullptr, {{u"Tmies", str(u"3")}}, &e), kDispEUnknownName);
  EXPECT_EQ(e.record.number, 448);
  EXPECT_EQ(call(u"Describ", {str(u"x")}, nullptr, {{u"Times", str(u"3")}}, &e), kDispEUnknownName);
  EXPECT_EQ(e.record.number, 438);
  EXPECT_EQ(client.invoke(12345, kDispatchMethod, {}, {}, {}, nullptr, nullptr), kDispEMemberNotFound);
  // No property is writable.
  EXPECT_EQ(client.invoke(kMemberDispIdBase + 1, kDispatchPropertyPut, args, {}, {}, nullptr, nullptr),
            kDispEMemberNotFound);
}

TEST_F(LateBinding, ArgumentsConvertToTheDeclaredTypesOrFailWithTheirPosition) {
  Variant r;
  ASSERT_EQ(call(u"IsPositive", {str(u" 5 ")}, &r), kSOk);
  EXPECT_EQ(r.type(), VarType::Boolean);
  EXPECT_EQ(static_cast<int>(r.boolValue()), -1);
  ASSERT_EQ(call(u"IsPositive", {Variant::fromDouble(-0.4)}, &r), kSOk);
  EXPECT_EQ(static_cast<int>(r.boolValue()), 0);

  // Laid last argument first: Text is "five", Times is "x".
  Variant laid[] = {str(u"x"), str(u"five")};
  DispParams params{laid, nullptr, 2, 0};
  std::uint32_t argErr = 99;
  Variant result;
  const HResult hr = slotOf<InvokeFn>(object.get(), slots::kInvoke)(object.get(), kMemberDispIdBase + 5, kNullGuid,
                                                                    kLcidUser, kDispatchMethod, &params, &result,
                                                                    nullptr, &argErr);
  EXPECT_EQ(hr, kDispETypeMismatch);
  EXPECT_EQ(argErr, 0u);
  EXPECT_EQ(call(u"IsPositive", {Variant::fromDouble(3e10)}), kDispEOverflow);
}

TEST_F(LateBinding, ByReferenceArgumentsAreWrittenBackConvertedToTheDeclaredType) {
  Variant counter = str(u"41");
  ASSERT_EQ(call(u"Bump", {Variant::byRef(&counter)}), kSOk);
  EXPECT_EQ(counter.type(), VarType::Long);
  EXPECT_EQ(counter.longValue(), 42);
  // Given by value, the member works on a copy.
  Variant plain = Variant::fromLong(1);
  ASSERT_EQ(call(u"Bump", {plain}), kSOk);
  EXPECT_EQ(plain.longValue(), 1);
}

TEST_F(LateBinding, RaisedErrorsReachTheClientWithAllTheirFields) {
  CallError e;
  EXPECT_EQ(call(u"Fail", {Variant::fromLong(53)}, nullptr, {}, &e), 0x800A0035u);
  EXPECT_EQ(e.hr, 0x800A0035u);
  EXPECT_EQ(e.record, (tov::ErrorRecord{53, u"TestList", u"failed on purpose", u"help.chm", 42}));

  // Invoke itself reports an exception; early binding returns the error's
  // own code and keeps the error for the client to fetch once.
  ExcepInfo excep;
  Variant arg = Variant::fromLong(9);
  DispParams params{&arg, nullptr, 1, 0};
  EXPECT_EQ(slotOf<InvokeFn>(object.get(), slots::kInvoke)(object.get(), kMemberDispIdBase + 8, kNullGuid, kLcidUser,
                                                         kDispatchMethod, &params, nullptr, &excep, nullptr),
            kDispEException);
  EXPECT_EQ(excep.scode, 0x800A0009u);
  EXPECT_EQ(excep.helpContext, 42u);

  using FailFn = HResult(TOV_SLOTCALL*)(Dispatch*, std::int32_t);
  const HResult hr = slotOf<FailFn>(object.get(), slots::member(8))(object.get(), 57);
  EXPECT_EQ(hr, 0x800A0039u);
  EXPECT_EQ(errorOfFailedCall(object.get(), hr).record.number, 57);
  EXPECT_EQ(errorOfFailedCall(object.get(), hr).record.source, u"");  // taken already: made from the code
}

TEST_F(LateBinding, TypeInformationDescribesTheInterface) {
  ComPtr<TypeInfo> holder;
  const InterfaceDescription* d = nullptr;
  ASSERT_EQ(client.typeInfo(holder, &d), kSOk);
  EXPECT_EQ(d->name, u"_TestList");
  EXPECT_EQ(d->findById(kDispIdNewEnum)->flags & kMemberHidden, kMemberHidden);
  const TypeLibraryDescription* lib = nullptr;
  ASSERT_EQ(slotOf<GetLibraryDescriptionFn>(holder.get(), slots::kGetLibraryDescription)(holder.get(), &lib), kSOk);
  EXPECT_EQ(lib->name, u"TestLib");
  TypeInfo* none = nullptr;
  EXPECT_EQ(slotOf<GetTypeInfoFn>(object.get(), slots::kGetTypeInfo)(object.get(), 1, 0, &none), kDispEBadIndex);
}

TEST(InterfaceBindingCheck, RefusesMembersWhoseSignatureDisagreesWithTheDescription) {
  // Describe's slot bound where IsPositive is described.
  std::vector<MemberBinding> members{
      bindSlot<&TestListObject::Count>(),    bindSlot<&TestListObject::Item>(),
      bindSlot<&TestListObject::NewEnum>(),  bindSlot<&TestListObject::Fill>(),
      bindSlot<&TestListObject::Describe>(), bindSlot<&TestListObject::Bump>(),
      bindSlot<&TestListObject::Describe>(), bindSlot<&TestListObject::Fail>()};
  EXPECT_THROW(InterfaceBinding(testTypeLibrary(), u"_TestList", members), std::logic_error);
  members.pop_back();
  EXPECT_THROW(InterfaceBinding(testTypeLibrary(), u"_TestList", members), std::logic_error);
}

}  // namespace
}  // namespace tovtest
