// The list-file member of tovFSO.
#include "fileio/RaiseErrorsTrap.h"
#include "fileio/modStandardListFileSupport.h"
#include "fileio/tovFSO.h"

namespace ferrule {

std::optional<ListFileItems> tovFSO::ReadStandardListFile(std::u16string_view FileName,
                                                          std::u16string_view CommentChar, bool IgnoreBlanks,
                                                          bool TrimStrings, bool IsOem, bool RaiseErrors) {
  return trapped(RaiseErrors, std::optional<ListFileItems>(), [&] {
    return std::optional<ListFileItems>(
        modStandardListFileSupport::ReadListFileLines(FileName, IsOem, CommentChar, IgnoreBlanks, TrimStrings));
  });
}

}  // namespace ferrule
