#pragma once
// A type library description written as an interface definition, the text
// the platform's interface compiler turns into a binary type library. The
// binary library and the frame's late binding then come from one
// description: the same interfaces, slot order, dispatch identifiers,
// optional parameters and defaults.
//
// Every interface is written as a dual interface: its members return an
// HRESULT, a result travels as the last, [out, retval] parameter, and
// parameters marked by reference are [in, out] pointers. The interface
// compiler knows no mark for a predeclared class: markPredeclaredClasses
// (TypeLibraryPatch.h) sets it in the compiled library.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "automation/TypeDescription.h"

namespace tov::platform {
class CodePage;
}

namespace tov::automation {

struct IdlImport {
  // As the description's imports name it; empty for a library imported
  // whatever the description says (the standard types, which every
  // dispatch interface derives from).
  std::u16string_view libraryName;
  std::string typeLibraryFile;      // what importlib() names, e.g. "stdole2.tlb"
  // The imported library's own description, where the frame has one: its
  // classes resolve object types to their default interfaces.
  const TypeLibraryDescription* description = nullptr;
};

struct IdlOptions {
  std::vector<IdlImport> imports;
  // Object types that are neither classes nor interfaces of the libraries
  // known here, by the name they have there ("Picture" -> "IPictureDisp").
  std::map<std::u16string, std::string, std::less<>> objectTypes;
  // A binary type library keeps its texts as 8-bit characters; help
  // strings are written in this code page. Null: ASCII only, anything else
  // becomes "?".
  const platform::CodePage* textCodePage = nullptr;
};

// Throws std::invalid_argument when the description names an object type
// that nothing here resolves, or a default value IDL cannot state.
std::string writeIdl(const TypeLibraryDescription& library, const IdlOptions& options);

}  // namespace tov::automation
