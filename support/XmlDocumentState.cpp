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

namespace {

bool isNameChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
         c == u'-' || c == u'.' || c >= 0x80;
}

bool isNameStart(char16_t c) { return isNameChar(c) && !(c >= u'0' && c <= u'9') && c != u'-' && c != u'.'; }

// Splits "a/b/@c" into element steps and an attribute step; false for
// anything else (axes, predicates, wildcards, prefixes, absolute paths).
bool splitSimplePath(std::u16string_view expression, std::vector<std::string>& elements, std::string& attribute,
                     bool& absolute) {
  absolute = !expression.empty() && expression.front() == u'/';
  if (absolute) expression.remove_prefix(1);
  if (expression.empty()) return false;
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = expression.find(u'/', start);
    std::u16string_view step = expression.substr(start, slash == std::u16string_view::npos ? slash : slash - start);
    const bool isAttribute = !step.empty() && step.front() == u'@';
    if (isAttribute) step.remove_prefix(1);
    if (step.empty() || !isNameStart(step.front())) return false;
    for (char16_t c : step) {
      if (!isNameChar(c)) return false;
    }
    if (isAttribute) {
      if (slash != std::u16string_view::npos) return false;
      attribute = platform::toUtf8(step);
      return true;
    }
    elements.push_back(platform::toUtf8(step));
    if (slash == std::u16string_view::npos) return true;
    start = slash + 1;
  }
}

}  // namespace

const XmlDocumentState::Compiled& XmlDocumentState::compiled(std::u16string_view expression) {
  if (auto found = queries_.find(expression); found != queries_.end()) return found->second;
  // Callers that build a new expression per node would otherwise grow the
  // cache without end; starting over keeps it to the working set.
  if (queries_.size() >= kMaxCachedQueries) queries_.clear();
  Compiled entry{compile(expression), false, false, {}, {}};
  entry.simplePath = splitSimplePath(expression, entry.elementSteps, entry.attributeStep, entry.absolute);
  return queries_.emplace(std::u16string(expression), std::move(entry)).first->second;
}

const pugi::xpath_query& XmlDocumentState::query(std::u16string_view expression) {
  return compiled(expression).xpath;
}

namespace {

// Most names differ in their first letter; comparing inline saves a call
// per child on the per-message path.
bool sameName(const char* name, const std::string& wanted) {
  const char* w = wanted.c_str();
  while (*name != '\0' && *name == *w) {
    ++name;
    ++w;
  }
  return *name == *w;
}

}  // namespace

template <typename Visit>
bool XmlDocumentState::walk(const Compiled& path, const pugi::xml_node& context, std::size_t step, Visit& visit) {
  if (step == path.elementSteps.size()) {
    if (path.attributeStep.empty()) return visit(pugi::xpath_node(context));
    for (pugi::xml_attribute a = context.first_attribute(); a; a = a.next_attribute()) {
      if (sameName(a.name(), path.attributeStep)) return visit(pugi::xpath_node(a, context));
    }
    return true;
  }
  const std::string& name = path.elementSteps[step];
  for (pugi::xml_node child = context.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element || !sameName(child.name(), name)) continue;
    if (!walk(path, child, step + 1, visit)) return false;
  }
  return true;
}

// The node a simple path starts from; null when there is none (child and
// attribute steps from an attribute find nothing).
pugi::xml_node XmlDocumentState::walkStart(const Compiled& path, const pugi::xpath_node& context) {
  if (path.absolute) return (context.attribute() ? context.parent() : context.node()).root();
  if (context.attribute()) return {};
  return context.node();
}

pugi::xpath_node XmlDocumentState::first(std::u16string_view expression, const pugi::xpath_node& context) {
  const Compiled& path = compiled(expression);
  if (!path.simplePath) return path.xpath.evaluate_node(context);
  const pugi::xml_node start = walkStart(path, context);
  pugi::xpath_node found;
  auto stopAtFirst = [&](const pugi::xpath_node& node) {
    found = node;
    return false;
  };
  if (start) walk(path, start, 0, stopAtFirst);
  return found;
}

std::deque<pugi::xpath_node> XmlDocumentState::all(std::u16string_view expression, const pugi::xpath_node& context) {
  const Compiled& path = compiled(expression);
  if (!path.simplePath) {
    pugi::xpath_node_set set = path.xpath.evaluate_node_set(context);
    // Unions and reverse axes come back unordered or reversed; callers walk
    // the list as the document reads.
    set.sort();
    return std::deque<pugi::xpath_node>(set.begin(), set.end());
  }
  const pugi::xml_node start = walkStart(path, context);
  std::deque<pugi::xpath_node> found;
  auto collect = [&](const pugi::xpath_node& node) {
    found.push_back(node);
    return true;
  };
  // Child steps visited in order give document order already.
  if (start) walk(path, start, 0, collect);
  return found;
}

}  // namespace tov
