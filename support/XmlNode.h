#pragma once
// One node of a loaded document (element, attribute, text, or the document
// itself), or the null node a query that found nothing gives.
#include <memory>
#include <pugixml.hpp>
#include <string_view>

namespace tov {

class XmlDocumentState;
class XmlNodeList;

class XmlNode {
 public:
  // The null node.
  XmlNode() = default;
  XmlNode(std::shared_ptr<XmlDocumentState> document, const pugi::xpath_node& node)
      : document_(std::move(document)), node_(node) {}

  // Every match of an XPath 1.0 expression, relative to this node, in
  // document order. An invalid expression raises error 5.
  XmlNodeList QueryNodes(std::u16string_view xpath) const;
  // The first match in document order, or the null node.
  XmlNode QueryNode(std::u16string_view xpath) const;

  bool IsNull() const { return !node_; }
  const pugi::xpath_node& xpathNode() const { return node_; }

 private:
  std::shared_ptr<XmlDocumentState> document_;
  pugi::xpath_node node_;
};

}  // namespace tov
