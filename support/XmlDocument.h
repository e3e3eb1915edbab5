#pragma once
// An XML file loaded for XPath queries: the history converter's view of a
// message log.
#include <memory>
#include <string>
#include <string_view>

#include "support/XmlLoadError.h"
#include "support/XmlNode.h"
#include "support/XmlNodeList.h"

namespace tov {

class XmlDocumentState;

class XmlDocument {
 public:
  XmlDocument();

  // Reads and parses the whole file; false (with LoadError() saying why)
  // when it cannot be read, is not in a readable encoding or is not
  // well-formed. Nodes from an earlier load stay valid and keep their tree.
  bool LoadFile(std::u16string_view fileName);

  // The document node: absolute and relative queries start here.
  XmlNode RootNode() const;

  // An attribute's value; an element's (or the document's) XPath
  // string-value, every descendant text and CDATA section joined; a text,
  // comment or instruction node's content; "" for the null node.
  std::u16string NodeText(const XmlNode& node) const;

  // The same text in UTF-8: a view into the document where the text is one
  // piece, otherwise gathered into `scratch`. Valid while the document and
  // `scratch` are.
  std::string_view NodeTextUtf8(const XmlNode& node, std::string& scratch) const;

  // Why the last LoadFile failed; no error after a successful one.
  const XmlLoadError& LoadError() const { return loadError_; }

 private:
  std::shared_ptr<XmlDocumentState> state_;
  XmlLoadError loadError_;
};

}  // namespace tov
