#pragma once
// How the bytes of an XML file are encoded, and their conversion to the UTF-8
// the parser reads. Every file reaches the parser as UTF-8, so a parse error's
// offset always points into text this unit can rebuild to name its position.
#include <cstdint>
#include <span>
#include <string>

#include "support/XmlBuffer.h"
#include "support/XmlLoadError.h"

namespace tov::platform {
class CodePage;
}

namespace tov {

class XmlEncoding {
 public:
  enum class Form { Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE, Latin1, CodePage };

  // A byte-order mark decides first; then UTF-16/32 text recognised by its
  // opening "<"; then the encoding named in the XML declaration; UTF-8 when
  // nothing is named. A named encoding this system cannot read gives an
  // encoding with error() set.
  static XmlEncoding detect(std::span<const std::uint8_t> bytes);

  Form form() const { return form_; }
  const XmlLoadError& error() const { return error_; }
  bool ok() const { return !error_.IsError(); }

  // The text as UTF-8 without a byte-order mark other than a UTF-8 one the
  // parser skips itself. UTF-8 input is handed back as it is, without a copy.
  XmlBuffer toUtf8(XmlBuffer bytes) const;

 private:
  explicit XmlEncoding(Form form, const platform::CodePage* page = nullptr) : form_(form), page_(page) {}
  static XmlEncoding fromDeclaredName(const std::string& name);
  static XmlEncoding failed(std::u16string reason);

  Form form_ = Form::Utf8;
  const platform::CodePage* page_ = nullptr;
  XmlLoadError error_;
};

}  // namespace tov
