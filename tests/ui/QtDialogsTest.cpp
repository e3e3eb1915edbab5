// The program's dialogs with Qt: the file dialog lent to FileDialog (its
// filters made from the program's filter text) and the about box.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest/QTest>

#include "QtTestSupport.h"
#include "SampleForm.h"
#include "TempDir.h"
#include "ui/FileDialog.h"
#include "ui/qt/QtAboutBox.h"
#include "ui/qt/QtFileDialog.h"

using namespace tov::ui;

namespace {

TEST(QtNameFilters, LabelsWithTheirPatternsEveryFileForStarDotStar) {
  EXPECT_EQ(qtNameFilters(u"XML files|*.XML|All files|*.*"), (QStringList{"XML files (*.XML)", "All files (*)"}));
  EXPECT_EQ(qtNameFilters(u"Text files|*.ANP;*.EDT;*.TXT|All files|*.*"),
            (QStringList{"Text files (*.ANP *.EDT *.TXT)", "All files (*)"}));
  EXPECT_EQ(qtNameFilters(u"Журналы|*.xml"), QStringList{QString::fromUtf8("Журналы (*.xml)")});
}

TEST(QtNameFilters, UntidyFilterTextGivesOnlyUsableFilters) {
  EXPECT_TRUE(qtNameFilters(u"").isEmpty());
  EXPECT_TRUE(qtNameFilters(u"XML files").isEmpty());  // a label without patterns
  EXPECT_EQ(qtNameFilters(u"XML files|*.xml|Dangling"), QStringList{"XML files (*.xml)"});
  EXPECT_EQ(qtNameFilters(u"Empty| ; |Logs| *.xml ; *.log ;*.xml"), QStringList{"Logs (*.xml *.log)"});
  EXPECT_EQ(qtNameFilters(u" |*.txt"), QStringList{"*.txt (*.txt)"});  // no label: the patterns name it
}

class QtDialogs : public uitest::QtTest {
 protected:
  std::string path(const std::string& name) const { return (dir / name).string(); }

  tovtest::TempDir dir{"dialogs"};
};

// The names the open dialog lists in its directory, once it has read it.
QStringList listedNames(QFileDialog* dialog, int expected) {
  auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
  if (!view) return {};
  QStringList names;
  if (!QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= expected; })) return {};
  for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
    const QModelIndex index = view->model()->index(row, 0, view->rootIndex());
    // Files a filter leaves out are either missing or shown disabled.
    if (index.flags() & Qt::ItemIsEnabled) names.push_back(index.data().toString());
  }
  return names;
}

TEST_F(QtDialogs, OpenStartsWhereAskedAndFindsFilesWhateverTheirCase) {
  tovtest::writeBytes(dir / "chat.xml", "<Log/>");
  tovtest::writeBytes(dir / "notes.txt", "x");
  uitest::SampleForm owner;
  owner.show();
  tov::FileDialogRequest request;
  request.filter = u"XML files|*.XML|All files|*.*";
  request.initialDirectory = tovtest::u16(dir.path());
  request.ownerWindow = owner.handle();
  QStringList listed;
  QWidget* parent = nullptr;
  uitest::whenDialogOpens<QFileDialog>([&](QFileDialog* dialog) {
    parent = dialog->parentWidget();
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->directory().absolutePath(), QString::fromStdString(dir.path().string()));
    EXPECT_EQ(dialog->nameFilters(), (QStringList{"XML files (*.XML)", "All files (*)"}));
    listed = listedNames(dialog, 1);
    // Accepting a name the dialog does not list would open a message box.
    if (!listed.contains(QStringLiteral("chat.xml"))) return static_cast<QDialog*>(dialog)->reject();
    dialog->selectFile(QStringLiteral("chat.xml"));
    static_cast<QDialog*>(dialog)->accept();
  });
  std::u16string chosen;
  ASSERT_TRUE(showQtFileDialog(request, chosen));
  EXPECT_EQ(chosen, tovtest::u16(dir / "chat.xml"));
  EXPECT_EQ(listed, QStringList{"chat.xml"});
  EXPECT_EQ(parent, backend->windowFor(owner));
}

TEST_F(QtDialogs, ANameWithItsDirectoryOpensThereAndCancelChangesNothing) {
  std::filesystem::create_directories(dir / "logs");
  tovtest::writeBytes(dir / "logs" / "old.xml", "<Log/>");
  tov::FileDialogRequest request;
  request.initialDirectory = tovtest::u16(dir.path());
  request.fileName = tovtest::u16(dir / "logs" / "old.xml");
  QStringList selected;
  uitest::whenDialogOpens<QFileDialog>([&](QFileDialog* dialog) {
    selected = dialog->selectedFiles();
    static_cast<QDialog*>(dialog)->reject();
  });
  std::u16string chosen = u"unchanged";
  EXPECT_FALSE(showQtFileDialog(request, chosen));
  EXPECT_EQ(chosen, u"unchanged");
  EXPECT_EQ(selected, QStringList{QString::fromStdString(path("logs/old.xml"))});
}

// The conversion overwrites the text file on purpose, but a user choosing
// an existing name in a save dialog expects to be asked.
TEST_F(QtDialogs, SavingOverAnExistingFileAsksFirst) {
  tovtest::writeBytes(dir / "chat.TXT", "old");
  tov::FileDialogRequest request;
  request.save = true;
  request.filter = u"Text files|*.ANP;*.EDT;*.TXT|All files|*.*";
  request.initialDirectory = tovtest::u16(dir.path());
  request.fileName = u"chat.TXT";
  bool asked = false;
  uitest::whenDialogOpens<QFileDialog>([&](QFileDialog* dialog) {
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    uitest::whenDialogOpens<QMessageBox>([&](QMessageBox* question) {
      asked = true;
      question->button(QMessageBox::Yes)->click();
    });
    static_cast<QDialog*>(dialog)->accept();
  });
  std::u16string chosen;
  ASSERT_TRUE(showQtFileDialog(request, chosen));
  EXPECT_TRUE(asked);
  EXPECT_EQ(chosen, tovtest::u16(dir / "chat.TXT"));
}

TEST_F(QtDialogs, TheQtFileDialogServesFileDialogWhileTheToolkitRuns) {
  tovtest::writeBytes(dir / "chat.xml", "<Log/>");
  tov::FileDialog dialog;
  dialog.InitialDirectory = tovtest::u16(dir.path());
  dialog.Filter = u"XML files|*.XML";
  uitest::whenDialogOpens<QFileDialog>([](QFileDialog* open) {
    open->selectFile(QStringLiteral("chat.xml"));
    static_cast<QDialog*>(open)->accept();
  });
  ASSERT_TRUE(dialog.AskOpenFile());
  EXPECT_EQ(dialog.FileName, tovtest::u16(dir / "chat.xml"));
  // Without the toolkit no dialog can be shown: as if cancelled.
  app.reset();
  EXPECT_FALSE(dialog.AskOpenFile());
}

TEST_F(QtDialogs, TheAboutBoxShowsIconTitleVersionAndDedication) {
  QPixmap picture(32, 32);
  picture.fill(Qt::blue);
  ASSERT_TRUE(picture.save(QString::fromStdString(path("icon.png"))));
  AboutBoxRequest request;
  request.title = u"TOVapps - Quillmark";
  request.version = u"1.01.0004";
  request.dedication = u"Для всех, кто хранит свои разговоры.";
  request.icon = {tovtest::u16(dir / "icon.png")};
  QString title, version, dedication;
  bool hasPicture = false;
  bool extraShown = true;
  uitest::whenDialogOpens<QtAboutBox>([&](QtAboutBox* box) {
    title = box->windowTitle() + "|" + box->findChild<QLabel*>("title")->text();
    version = box->findChild<QLabel*>("version")->text();
    dedication = box->findChild<QLabel*>("dedication")->text();
    const QLabel* icon = box->findChild<QLabel*>("icon");
    hasPicture = icon && !icon->pixmap().isNull();
    extraShown = box->findChild<QLabel*>("extraText") != nullptr;
    box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  backend->aboutBox(request);
  EXPECT_EQ(title, "About TOVapps - Quillmark|TOVapps - Quillmark");
  EXPECT_EQ(version, "Version 1.01.0004");
  EXPECT_EQ(dedication, QString::fromUtf8("Для всех, кто хранит свои разговоры."));
  EXPECT_TRUE(hasPicture);
  EXPECT_FALSE(extraShown);  // no extra text, no empty line for it
}

}  // namespace
