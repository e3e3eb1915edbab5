// The interface definitions written for the Windows build's type libraries
// and the predeclared mark set in a compiled library: what a compiled type
// library tells clients follows from these.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "automation/IdlWriter.h"
#include "automation/RuntimeTypeLibrary.h"
#include "automation/TypeLibraryPatch.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "platform/CodePage.h"

namespace tovtest {
namespace {

using namespace tov::automation;

IdlOptions ferruleOptions() {
  IdlOptions options;
  options.imports = {{u"stdole", "stdole2.tlb", nullptr}, {u"AutomationRuntime", "AutomationRuntime.tlb", &runtimeTypeLibrary()}};
  options.objectTypes = {{u"Picture", "IPictureDisp"}};
  options.textCodePage = tov::platform::CodePage::find(1251);
  return options;
}

std::string ferruleIdl() { return writeIdl(ferrule::typeLibrary(), ferruleOptions()); }

// The text of one interface block, from its header to its closing brace.
std::string interfaceBlock(const std::string& idl, const std::string& name) {
  const auto start = idl.find("interface " + name + " : ");
  if (start == std::string::npos) return {};
  return idl.substr(start, idl.find("  };", start) - start);
}

TEST(IdlWriter, MembersKeepSlotOrderDispatchIdsAndDirections) {
  const std::string idl = ferruleIdl();
  const std::string fso = interfaceBlock(idl, "_tovFSO");
  ASSERT_FALSE(fso.empty());
  // Members in slot order, each with its own identifier.
  std::size_t last = 0;
  for (const MemberDescription& m : ferrule::typeLibrary().findInterface(u"_tovFSO")->members) {
    const std::string name(m.name.begin(), m.name.end());
    const auto at = fso.find(" " + name + "(");
    ASSERT_NE(at, std::string::npos) << name;
    EXPECT_GT(at, last) << name << " out of slot order";
    last = at;
  }
  EXPECT_NE(fso.find("[id(0x60030005)]\n    HRESULT PutFile([in] BSTR FileName, [in] BSTR Data, "
                     "[in, optional, defaultvalue(0)] VARIANT_BOOL RaiseErrors, [out, retval] VARIANT_BOOL* retVal);"),
            std::string::npos);
  // By reference, with its default True, and the no-default optional by
  // reference as a pointer the client may leave out.
  EXPECT_NE(fso.find("[in, out] SAFEARRAY(unsigned char)* Data"), std::string::npos);
  EXPECT_NE(fso.find("[in, optional, defaultvalue(-1)] VARIANT_BOOL WriteUnicodeHeader"), std::string::npos);
  EXPECT_NE(fso.find("[in, optional, defaultvalue(\";\")] BSTR CommentChar"), std::string::npos);
  EXPECT_NE(fso.find("[in, out, optional] long* lpErrorCode"), std::string::npos);
  // Classes stand for their default interfaces; the runtime's Collection is
  // the imported one.
  EXPECT_NE(fso.find("[out, retval] _Collection** retVal"), std::string::npos);
  EXPECT_NE(fso.find("[out, retval] FileZoneConst* retVal"), std::string::npos);

  const std::string streams = interfaceBlock(idl, "_tovFileStreams");
  EXPECT_NE(streams.find("[id(0x00000000), propget]\n    HRESULT Item([in] long Index, [out, retval] _FileStream** retVal);"),
            std::string::npos);
  EXPECT_NE(streams.find("[id(-4), propget, hidden]\n    HRESULT NewEnum([out, retval] IUnknown** retVal);"),
            std::string::npos);
  // An optional parameter without default is a VARIANT, which can say "missing".
  EXPECT_NE(streams.find("[in, optional] VARIANT ProcessSecurity"), std::string::npos);
  EXPECT_NE(interfaceBlock(idl, "_ShellFileIcon").find("[out, retval] IPictureDisp** retVal"), std::string::npos);
}

TEST(IdlWriter, LibraryClassesAliasesEnumerationsAndImports) {
  const std::string idl = ferruleIdl();
  EXPECT_NE(idl.find("[uuid(AC18FFEB-5A2B-41A4-A18C-F024D8B6F971), version(1.2), lcid(0x00000409), "
                     "helpstring(\"TOVapps - Ferrule0101 File Services Library 1.01\")]\nlibrary Ferrule0101\n"),
            std::string::npos);
  EXPECT_NE(idl.find("  importlib(\"stdole2.tlb\");\n  importlib(\"AutomationRuntime.tlb\");\n"), std::string::npos);
  // The imported interface is declared before the library for the compiler.
  EXPECT_LT(idl.find("interface _Collection : IDispatch"), idl.find("library Ferrule0101"));
  EXPECT_NE(idl.find("[uuid(4BCD1263-679F-4AE1-BA25-5C77DED402BD), appobject]\n  coclass tovFSO {\n"
                     "    [default] interface _tovFSO;"),
            std::string::npos);
  EXPECT_NE(idl.find("[uuid(ECAB8284-D88B-4030-8DE7-6480DFF6A962), noncreatable]\n  coclass FileStream"),
            std::string::npos);
  EXPECT_NE(idl.find("[uuid(F92C22E0-AEEF-4739-8BF0-E87E964BC8BB), hidden, dual, nonextensible, oleautomation]\n"
                     "  interface tovFSO___v0 : _tovFSO {"),
            std::string::npos);
  EXPECT_NE(idl.find("  typedef enum CompressionFormatConst {\n    cfError = -1,\n"), std::string::npos);
  // Help strings beyond ASCII are bytes of the chosen code page.
  const std::string cp1251 = "\xCA\xEB\xE0\xF1\xF1";  // "Класс"
  EXPECT_NE(idl.find("typedef [helpstring(\"" + cp1251), std::string::npos);
}

TEST(IdlWriter, RefusesWhatItCannotState) {
  TypeLibraryDescription lib;
  lib.name = u"Lib";
  InterfaceDescription i{u"_X", Guid{1}, kInterfaceDual, {}, {}};
  i.members.push_back({1, u"M", kMemberDispIdBase + 1, MemberKind::Method, {}, {TypeKind::Object, u"Unheard"}, {}, 0});
  lib.interfaces.push_back(i);
  EXPECT_THROW(writeIdl(lib, {}), std::invalid_argument);

  lib.interfaces.front().members.front().result = {TypeKind::Void, {}};
  lib.imports = {u"SomeLibrary"};
  EXPECT_THROW(writeIdl(lib, {}), std::invalid_argument);

  // Quotes and backslashes in texts stay texts.
  lib.imports.clear();
  lib.help = u"say \"hi\" \\ bye";
  EXPECT_NE(writeIdl(lib, {}).find("helpstring(\"say \\\"hi\\\" \\\\ bye\")"), std::string::npos);
}

// A compiled library as the interface compiler lays it out: header, type
// offsets, segment directory, one type record, one identifier.
std::vector<std::uint8_t> compiledLibrary(const Guid& typeGuid, std::uint32_t flags) {
  std::vector<std::uint8_t> b(0x200, 0);
  auto put = [&](std::size_t at, std::uint32_t v) { std::memcpy(&b[at], &v, 4); };
  put(0, 0x5446534D);
  put(0x20, 1);  // one type
  const std::size_t directory = 0x54 + 4;
  for (int s = 0; s < 15; ++s) put(directory + s * 16, 0xFFFFFFFF);
  const std::size_t types = 0x100, guids = 0x180;
  put(directory + 0 * 16, types);
  put(directory + 0 * 16 + 4, 0x64);
  put(directory + 5 * 16, guids);
  put(directory + 5 * 16 + 4, 24);
  put(types + 0x2C, 0);  // the type's identifier is the first entry
  put(types + 0x30, flags);
  std::memcpy(&b[guids], &typeGuid, 16);
  return b;
}

TEST(TypeLibraryPatch, SetsTheFlagOfThatTypeOnlyAndRefusesOtherBytes) {
  const Guid clsid = makeGuid("4BCD1263-679F-4AE1-BA25-5C77DED402BD");
  std::vector<std::uint8_t> lib = compiledLibrary(clsid, 0x3);
  ASSERT_TRUE(addTypeFlags(lib, clsid, kTypeFlagPredeclared));
  std::uint32_t flags = 0;
  std::memcpy(&flags, &lib[0x100 + 0x30], 4);
  EXPECT_EQ(flags, 0xBu);

  std::vector<std::uint8_t> other = compiledLibrary(makeGuid("00000000-0000-0000-0000-000000000001"), 0x3);
  const std::vector<std::uint8_t> before = other;
  EXPECT_FALSE(addTypeFlags(other, clsid, kTypeFlagPredeclared));
  EXPECT_EQ(other, before);

  // Not a type library, or one cut short: nothing is written.
  std::vector<std::uint8_t> junk(64, 0xAB);
  EXPECT_FALSE(addTypeFlags(junk, clsid, kTypeFlagPredeclared));
  std::vector<std::uint8_t> cut(lib.begin(), lib.begin() + 0x120);
  EXPECT_FALSE(addTypeFlags(cut, clsid, kTypeFlagPredeclared));

  // The library's own predeclared class.
  std::vector<std::uint8_t> ferrule = compiledLibrary(clsid, 0x3);
  EXPECT_TRUE(markPredeclaredClasses(ferrule, ferrule::typeLibrary()));
}

}  // namespace
}  // namespace tovtest
