#pragma once
// Files dragged from a file manager onto a control: the names Qt's drag
// data carries, as the model takes them.
#include <string>
#include <vector>

class QMimeData;

namespace tov::ui {

// The full names of the local files in the drag, in order; empty when it
// carries none (text, or only remote addresses).
std::vector<std::u16string> droppedFileNames(const QMimeData* data);

}  // namespace tov::ui
