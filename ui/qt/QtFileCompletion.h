#pragma once
// Completion of file names in a text field: while the user types a path,
// the names of existing files and directories that go on from it are
// offered.
class QLineEdit;

namespace tov::ui {

// Turns the completion on or off; the file system is read in the
// background, so typing never waits for it.
void setFileNameCompletion(QLineEdit* edit, bool on);
bool hasFileNameCompletion(const QLineEdit* edit);

}  // namespace tov::ui
