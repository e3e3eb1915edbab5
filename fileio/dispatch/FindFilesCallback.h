#pragma once
// The IFindFilesCallback a client passes to a search, as the search core
// takes it: a plain function called with a level's path that answers
// whether to stop. Lives on the stack of the dispatch member for the
// length of its call; the core never keeps the function beyond it.
#include <functional>
#include <string_view>

#include "automation/ClientCallback.h"

namespace ferrule {

class FindFilesCallback {
 public:
  // `callBackObject` as the member received it: omitted, Empty and Nothing
  // give no callback; anything else that is no object raises error 13.
  explicit FindFilesCallback(const tov::automation::Variant& callBackObject);

  explicit operator bool() const { return static_cast<bool>(callback_); }

  // Calls DirectoryCompleted(path, Cancel) with Cancel False and gives the
  // Cancel the client left. The client's failure is thrown as its error.
  bool directoryCompleted(std::u16string_view path) const;

  // For the core: empty when there is no callback.
  std::function<bool(std::u16string_view)> function() const;

 private:
  tov::automation::ClientCallback callback_;
};

}  // namespace ferrule
