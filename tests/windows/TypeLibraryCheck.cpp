// Checks the type libraries compiled into Ferrule0101.dll against the type
// description the library serves from, as the system reads them: every
// interface with its members in slot order (table offset), dispatch
// identifiers, kinds, parameter names, directions, optional marks and
// defaults; the classes' flags; the aliases; the enumerations; the
// runtime's Collection referred to in its own library.
//
//   typelib-check.exe PATH\Ferrule0101.dll
//
// Prints one line per fault and "N passed, M failed"; exit status 1 on any
// fault.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <vector>

#include "automation/RuntimeTypeLibrary.h"
#include "automation/win32/SystemVariant.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "platform/Utf.h"

namespace {

using namespace tov::automation;

int g_passed = 0;
int g_failed = 0;

void check(bool ok, const std::string& what) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    std::printf("FAIL %s\n", what.c_str());
  }
}

std::string utf8(std::u16string_view s) { return tov::platform::toUtf8(s); }
std::string utf8(const wchar_t* s) {
  return s ? tov::platform::toUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(s), wcslen(s))) : "";
}

VARTYPE expectedVt(const TypeRef& type) {
  switch (type.kind) {
    case TypeKind::Boolean: return VT_BOOL;
    case TypeKind::Integer: return VT_I2;
    case TypeKind::Long: return VT_I4;
    case TypeKind::Double: return VT_R8;
    case TypeKind::Date: return VT_DATE;
    case TypeKind::String: return VT_BSTR;
    case TypeKind::ByteArray: return VT_SAFEARRAY;
    case TypeKind::Variant: return VT_VARIANT;
    case TypeKind::Object: return VT_PTR;
    case TypeKind::Unknown: return VT_UNKNOWN;
    case TypeKind::Enum: return VT_USERDEFINED;
    case TypeKind::Void: return VT_VOID;
  }
  return VT_EMPTY;
}

bool sameDefault(const VARIANT& stored, const Variant& declared) {
  Variant taken;
  if (FAILED(win32::fromSystem(stored, taken))) return false;
  if (declared.type() == VarType::Boolean) {
    return taken.type() == VarType::Boolean ? taken.boolValue() == declared.boolValue()
                                            : (taken.type() == VarType::Integer &&
                                               taken.integerValue() == static_cast<std::int16_t>(declared.boolValue()));
  }
  return taken == declared;
}

void checkMember(ITypeInfo* info, UINT index, const MemberDescription& m, const std::string& where) {
  FUNCDESC* f = nullptr;
  if (FAILED(info->GetFuncDesc(index, &f))) {
    check(false, where + ": no function " + std::to_string(index));
    return;
  }
  const std::string at = where + "." + utf8(m.name);
  check(f->memid == m.id, at + ": dispatch id");
  check(f->oVft == static_cast<SHORT>((7 + index) * sizeof(void*)), at + ": slot");
  check(f->invkind == (m.kind == MemberKind::PropertyGet ? INVOKE_PROPERTYGET : INVOKE_FUNC), at + ": kind");
  const bool hasResult = m.result.kind != TypeKind::Void;
  check(f->cParams == static_cast<SHORT>(m.params.size() + (hasResult ? 1 : 0)), at + ": parameter count");
  std::vector<BSTR> names(m.params.size() + 1);
  UINT got = 0;
  info->GetNames(f->memid, names.data(), static_cast<UINT>(names.size()), &got);
  check(got >= 1 && utf8(names[0]) == utf8(m.name), at + ": name");
  for (std::size_t i = 0; i < m.params.size() && static_cast<SHORT>(i) < f->cParams; ++i) {
    const ParamDescription& p = m.params[i];
    const ELEMDESC& e = f->lprgelemdescParam[i];
    const std::string pat = at + "(" + utf8(p.name) + ")";
    check(i + 1 < got && utf8(names[i + 1]) == utf8(p.name), pat + ": name");
    const USHORT flags = e.paramdesc.wParamFlags;
    check(((flags & PARAMFLAG_FOUT) != 0) == p.byRef, pat + ": by reference");
    check(((flags & PARAMFLAG_FOPT) != 0) == p.optional, pat + ": optional");
    const bool hasDefault = (flags & PARAMFLAG_FHASDEFAULT) != 0;
    check(hasDefault == (p.optional && p.defaultValue.has_value()), pat + ": default present");
    if (hasDefault && p.defaultValue && e.paramdesc.pparamdescex) {
      check(sameDefault(e.paramdesc.pparamdescex->varDefaultValue, *p.defaultValue), pat + ": default value");
    }
    VARTYPE vt = e.tdesc.vt;
    if (p.byRef) vt = e.tdesc.lptdesc ? e.tdesc.lptdesc->vt : static_cast<VARTYPE>(VT_EMPTY);
    VARTYPE want = expectedVt(p.type);
    if (p.optional && !p.defaultValue && !p.byRef) want = VT_VARIANT;
    check(vt == want, pat + ": type");
  }
  if (hasResult && f->cParams > 0) {
    const ELEMDESC& r = f->lprgelemdescParam[f->cParams - 1];
    check((r.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) != 0, at + ": result is the last parameter");
    check(r.tdesc.vt == VT_PTR && r.tdesc.lptdesc && r.tdesc.lptdesc->vt == expectedVt(m.result), at + ": result type");
  }
  for (UINT i = 0; i < got; ++i) ::SysFreeString(names[i]);
  info->ReleaseFuncDesc(f);
}

// The table a client calls: the interface side of the dual interface.
ITypeInfo* vtableSide(ITypeInfo* info) {
  HREFTYPE ref = 0;
  ITypeInfo* side = nullptr;
  if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) && SUCCEEDED(info->GetRefTypeInfo(ref, &side))) {
    return side;
  }
  info->AddRef();
  return info;
}

void checkInterface(ITypeLib* lib, const InterfaceDescription& d) {
  const std::string where = utf8(d.name);
  ITypeInfo* info = nullptr;
  if (FAILED(lib->GetTypeInfoOfGuid(win32::systemGuid(d.iid), &info))) {
    check(false, where + ": not in the type library");
    return;
  }
  ITypeInfo* table = vtableSide(info);
  TYPEATTR* attr = nullptr;
  if (SUCCEEDED(table->GetTypeAttr(&attr))) {
    check(attr->typekind == TKIND_INTERFACE, where + ": a dual interface");
    check(attr->cFuncs == static_cast<WORD>(d.members.size()), where + ": member count");
    check(attr->cbSizeVft == static_cast<WORD>((7 + d.members.size()) * sizeof(void*)), where + ": table size");
    check(((attr->wTypeFlags & TYPEFLAG_FDUAL) != 0) == ((d.flags & kInterfaceDual) != 0), where + ": dual mark");
    check(((attr->wTypeFlags & TYPEFLAG_FHIDDEN) != 0) == ((d.flags & kInterfaceHidden) != 0), where + ": hidden mark");
    const WORD count = attr->cFuncs;
    table->ReleaseTypeAttr(attr);
    for (UINT i = 0; i < count && i < d.members.size(); ++i) checkMember(table, i, d.members[i], where);
  }
  table->Release();
  info->Release();
}

void checkClass(ITypeLib* lib, const ClassDescription& c) {
  const std::string where = utf8(c.name);
  ITypeInfo* info = nullptr;
  if (FAILED(lib->GetTypeInfoOfGuid(win32::systemGuid(c.clsid), &info))) {
    check(false, where + ": class not in the type library");
    return;
  }
  TYPEATTR* attr = nullptr;
  if (SUCCEEDED(info->GetTypeAttr(&attr))) {
    check(attr->typekind == TKIND_COCLASS, where + ": a class");
    check(((attr->wTypeFlags & TYPEFLAG_FCANCREATE) != 0) == c.creatable(), where + ": creatable mark");
    check(((attr->wTypeFlags & TYPEFLAG_FAPPOBJECT) != 0) == ((c.flags & kClassAppObject) != 0), where + ": application object");
    check(((attr->wTypeFlags & TYPEFLAG_FPREDECLID) != 0) == ((c.flags & kClassPredeclared) != 0), where + ": predeclared");
    info->ReleaseTypeAttr(attr);
  }
  info->Release();
}

// ReadStandardListFile hands out the runtime's own Collection: the type
// library refers to _Collection in the runtime's library, not a copy.
void checkCollectionReference(ITypeLib* lib) {
  ITypeInfo* info = nullptr;
  if (FAILED(lib->GetTypeInfoOfGuid(win32::systemGuid(ferrule::kIid_tovFSO), &info))) return;
  ITypeInfo* table = vtableSide(info);
  FUNCDESC* f = nullptr;
  bool ok = false;
  if (SUCCEEDED(table->GetFuncDesc(18, &f))) {
    const ELEMDESC& r = f->lprgelemdescParam[f->cParams - 1];
    const TYPEDESC* t = r.tdesc.lptdesc;  // _Collection**
    if (t && t->vt == VT_PTR && t->lptdesc && t->lptdesc->vt == VT_USERDEFINED) {
      ITypeInfo* target = nullptr;
      ITypeLib* owner = nullptr;
      UINT index = 0;
      if (SUCCEEDED(table->GetRefTypeInfo(t->lptdesc->hreftype, &target)) &&
          SUCCEEDED(target->GetContainingTypeLib(&owner, &index))) {
        TLIBATTR* la = nullptr;
        if (SUCCEEDED(owner->GetLibAttr(&la))) {
          ok = la->guid == win32::systemGuid(runtimeTypeLibrary().libid);
          owner->ReleaseTLibAttr(la);
        }
        owner->Release();
      }
      if (target) target->Release();
    }
    table->ReleaseFuncDesc(f);
  }
  check(ok, "_tovFSO.ReadStandardListFile: result is the runtime's _Collection");
  table->Release();
  info->Release();
}

void checkLibrary(ITypeLib* lib, const TypeLibraryDescription& d) {
  TLIBATTR* attr = nullptr;
  if (SUCCEEDED(lib->GetLibAttr(&attr))) {
    check(attr->guid == win32::systemGuid(d.libid), utf8(d.name) + ": library identifier");
    check(attr->wMajorVerNum == d.majorVersion && attr->wMinorVerNum == d.minorVersion, utf8(d.name) + ": version");
    check(attr->lcid == d.lcid, utf8(d.name) + ": locale");
    lib->ReleaseTLibAttr(attr);
  }
  for (const InterfaceDescription& i : d.interfaces) checkInterface(lib, i);
  for (const ClassDescription& c : d.classes) checkClass(lib, c);
  for (const AliasDescription& a : d.aliases) {
    ITypeInfo* info = nullptr;
    const bool found = SUCCEEDED(lib->GetTypeInfoOfGuid(win32::systemGuid(a.iid), &info));
    check(found, utf8(a.name) + ": alias in the type library");
    if (info) info->Release();
  }
  for (const EnumDescription& e : d.enums) {
    ITypeInfo* info = nullptr;
    MEMBERID id = 0;
    USHORT count = 1;
    std::wstring name(reinterpret_cast<const wchar_t*>(e.name.data()), e.name.size());
    const bool found = SUCCEEDED(lib->FindName(name.data(), 0, &info, &id, &count)) && count == 1;
    check(found, utf8(e.name) + ": enumeration in the type library");
    if (!found) continue;
    TYPEATTR* ta = nullptr;
    // A type name may stand for the enumeration through an alias.
    if (SUCCEEDED(info->GetTypeAttr(&ta)) && ta->typekind == TKIND_ALIAS) {
      ITypeInfo* target = nullptr;
      const bool follows = ta->tdescAlias.vt == VT_USERDEFINED &&
                           SUCCEEDED(info->GetRefTypeInfo(ta->tdescAlias.hreftype, &target));
      info->ReleaseTypeAttr(ta);
      ta = nullptr;
      if (follows) {
        info->Release();
        info = target;
        info->GetTypeAttr(&ta);
      }
    }
    if (ta) {
      check(ta->typekind == TKIND_ENUM && ta->cVars == e.values.size(), utf8(e.name) + ": values");
      for (UINT v = 0; v < ta->cVars && v < e.values.size(); ++v) {
        VARDESC* vd = nullptr;
        if (FAILED(info->GetVarDesc(v, &vd))) continue;
        check(vd->lpvarValue && V_I4(vd->lpvarValue) == e.values[v].second, utf8(e.values[v].first) + ": value");
        info->ReleaseVarDesc(vd);
      }
      info->ReleaseTypeAttr(ta);
    }
    info->Release();
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::printf("usage: typelib-check PATH\\Ferrule0101.dll\n");
    return 2;
  }
  const std::wstring dll = argv[1];
  ITypeLib* runtime = nullptr;
  ITypeLib* library = nullptr;
  check(SUCCEEDED(::LoadTypeLibEx((dll + L"\\2").c_str(), REGKIND_NONE, &runtime)), "runtime type library loads");
  check(SUCCEEDED(::LoadTypeLibEx(dll.c_str(), REGKIND_NONE, &library)), "library type library loads");
  if (runtime) checkLibrary(runtime, runtimeTypeLibrary());
  if (library) {
    checkLibrary(library, ferrule::typeLibrary());
    checkCollectionReference(library);
  }
  if (library) library->Release();
  if (runtime) runtime->Release();
  std::printf("typelib: %d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
