#include "support/XmlDocument.h"

#include <cerrno>
#include <new>

#include "platform/Path.h"
#include "platform/Utf.h"
#include "support/XmlDocumentState.h"
#include "support/XmlEncoding.h"
#include "support/XmlFileReader.h"

namespace tov {
namespace {

// The standard options, plus keeping a text that is nothing but blanks or
// line breaks when it is an element's only content: a message body of a
// single space or newline is text the converter must not lose.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

XmlLoadError readUtf8(const std::string& path, XmlBuffer& text) {
  XmlFileReader::Result file = XmlFileReader::read(path);
  if (!file.ok()) return file.error;
  const XmlEncoding encoding = XmlEncoding::detect({file.bytes.data(), file.bytes.size()});
  if (!encoding.ok()) return encoding.error();
  text = encoding.toUtf8(std::move(file.bytes));
  return {};
}

// The parser rewrites its buffer in place as it goes (entities, line ends),
// so the position of an error is counted in the text read afresh.
XmlLoadError parseError(const std::string& path, const pugi::xml_parse_result& parsed) {
  XmlBuffer text;
  readUtf8(path, text);
  const std::string_view view(reinterpret_cast<const char*>(text.data()), text.size());
  return XmlLoadError::fromParseError(parsed.description(), view, static_cast<std::size_t>(parsed.offset));
}

XmlLoadError load(pugi::xml_document& document, const std::string& path) {
  XmlBuffer text;
  if (XmlLoadError error = readUtf8(path, text); error.IsError()) return error;
  if (text.empty()) return XmlLoadError::fromReason(u"The file is empty.");
  const std::size_t size = text.size();
  const pugi::xml_parse_result parsed =
      document.load_buffer_inplace_own(text.release(), size, kParseOptions, pugi::encoding_utf8);
  if (parsed) return {};
  document.reset();  // no half-read tree for queries to wander into
  return parseError(path, parsed);
}

bool isText(const pugi::xml_node& node) {
  return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// Every descendant text of `node` in document order.
std::string_view descendantText(const pugi::xml_node& node, std::string& text) {
  const pugi::xml_node first = node.first_child();
  // A message body is one text node: hand it out without gathering.
  if (first && !first.next_sibling() && isText(first)) return first.value();
  for (pugi::xml_node current = first; current;) {
    if (isText(current)) text += current.value();
    if (current.first_child()) {
      current = current.first_child();
      continue;
    }
    while (current != node && !current.next_sibling()) current = current.parent();
    if (current == node) break;
    current = current.next_sibling();
  }
  return text;
}

}  // namespace

XmlDocument::XmlDocument() : state_(std::make_shared<XmlDocumentState>()) {}

bool XmlDocument::LoadFile(std::u16string_view fileName) {
  // A fresh tree each time, so nodes of the previous load keep theirs.
  state_ = std::make_shared<XmlDocumentState>();
  if (fileName.find(u'\0') != std::u16string_view::npos) {
    // The system call would stop at the NUL and open some other file.
    loadError_ = XmlLoadError::fromReason(u"The file name is not valid: it contains a null character.");
    return false;
  }
  try {
    loadError_ = load(state_->document(), platform::nativePath(fileName));
  } catch (const std::bad_alloc&) {
    state_->document().reset();
    loadError_ = XmlLoadError::fromSystemError(ENOMEM);
  }
  return !loadError_.IsError();
}

XmlNode XmlDocument::RootNode() const { return XmlNode(state_, pugi::xpath_node(state_->document())); }

std::u16string XmlDocument::NodeText(const XmlNode& node) const {
  std::string scratch;
  return platform::fromUtf8(NodeTextUtf8(node, scratch));
}

std::string_view XmlDocument::NodeTextUtf8(const XmlNode& node, std::string& scratch) const {
  const pugi::xpath_node& target = node.xpathNode();
  if (target.attribute()) return target.attribute().value();
  const pugi::xml_node element = target.node();
  switch (element.type()) {
    case pugi::node_element:
    case pugi::node_document:
      return descendantText(element, scratch);
    case pugi::node_pcdata:
    case pugi::node_cdata:
    case pugi::node_comment:
    case pugi::node_pi:
      return element.value();
    default:
      return {};
  }
}

}  // namespace tov
