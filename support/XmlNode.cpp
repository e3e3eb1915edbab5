#include "support/XmlNode.h"

#include "support/XmlDocumentState.h"
#include "support/XmlNodeList.h"

namespace tov {
namespace {

// A query on the null node finds nothing, but a bad expression is still an
// error, as it is on a real node.
void checkExpression(XmlDocumentState* document, std::u16string_view xpath) {
  if (document)
    document->query(xpath);
  else
    XmlDocumentState::compile(xpath);
}

}  // namespace

XmlNodeList XmlNode::QueryNodes(std::u16string_view xpath) const {
  if (!node_ || !document_) {
    checkExpression(document_.get(), xpath);
    return XmlNodeList(document_, {});
  }
  return XmlNodeList(document_, document_->all(xpath, node_));
}

XmlNode XmlNode::QueryNode(std::u16string_view xpath) const {
  if (!node_ || !document_) {
    checkExpression(document_.get(), xpath);
    return XmlNode(document_, pugi::xpath_node());
  }
  return XmlNode(document_, document_->first(xpath, node_));
}

}  // namespace tov
