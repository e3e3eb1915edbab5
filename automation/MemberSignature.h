#pragma once
// A member of an interface as one line of text, for people exploring an
// object from a script or a shell: its parameters with their types,
// defaults and by-reference marks, and its result type, from the type
// information. The script clients show the same line.
//
//   PutFileW(FileName: String, Data: String, RaiseErrors: Boolean = False,
//            WriteUnicodeHeader: Boolean = True, InvertBytes: Boolean = False) -> Boolean
//   SetFileCompression(FileName: String, CompressionFormat: CompressionFormatConst,
//                      lpErrorCode: ByRef Long = Missing) -> Boolean
#include <string>

#include "automation/TypeDescription.h"

namespace tov::automation {

// "String", "Boolean", "Byte()", an enumeration's or class's name, ...
std::u16string typeText(const TypeRef& type);
// The parameter's type with "ByRef " in front when it is passed by reference.
std::u16string paramTypeText(const ParamDescription& param);
// A default value as a script writes it: True, 2, ';'; an optional
// parameter without default shows as Missing.
std::u16string defaultText(const ParamDescription& param);
// "(FileName: String, ...) -> Boolean"; no arrow for a member without result.
std::u16string signatureText(const MemberDescription& member);
// The member's name followed by its signature.
std::u16string memberLine(const MemberDescription& member);

}  // namespace tov::automation
