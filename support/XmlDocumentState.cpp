#include "support/XmlDocumentState.h"

#include "platform/Utf.h"
#include "support/ErrorRecord.h"

namespace tov {
namespace {

[[noreturn]] void raiseInvalidQuery(std::u16string_view expression, const char* problem) {
  ErrorRecord record = standardError(errors::kInvalidProcedureCall);
  record.description +=
      u" (XPath \"" + std::u16string(expression) + u"\": " + platform::fromUtf8(problem) + u")";
  throw RuntimeError(std::move(record));
}

}  // namespace

pugi::xpath_query XmlDocumentState::compile(std::u16string_view expression) {
  const std::string text = platform::toUtf8(expression);
  if (text.find('\0') != std::string::npos) raiseInvalidQuery(expression, "contains a null character");
  try {
    pugi::xpath_query query(text.c_str());
    if (!query) raiseInvalidQuery(expression, query.result().description());
    if (query.return_type() != pugi::xpath_type_node_set) {
      raiseInvalidQuery(expression, "Expression does not evaluate to node set");
    }
    return query;
  } catch (const pugi::xpath_exception& e) {
    raiseInvalidQuery(expression, e.what());
  }
}

const pugi::xpath_query& XmlDocumentState::query(std::u16string_view expression) {
  if (auto found = queries_.find(expression); found != queries_.end()) return found->second;
  // Callers that build a new expression per node would otherwise grow the
  // cache without end; starting over keeps it to the working set.
  if (queries_.size() >= kMaxCachedQueries) queries_.clear();
  return queries_.emplace(std::u16string(expression), compile(expression)).first->second;
}

}  // namespace tov
