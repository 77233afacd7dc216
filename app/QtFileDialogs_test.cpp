#include "app/QtFileDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <string>

#include "testsupport/TestData.h"

namespace {

using tessmor::FileDialogRequest;
using tessmor::FileDialogResult;
using tessmor::QtFileDialogs;

// The export dialog's request, starting in `dir` with `name`.
FileDialogRequest ExportRequest(const std::string& dir, const std::string& name) {
  FileDialogRequest r;
  r.save = true;
  r.title = "Export chart";
  r.filters = {{"Enhanced Metafile (*.emf)", ".emf"},
               {"Windows Metafile (*.wmf)", ".wmf"},
               {"Windows Bitmap (*.bmp)", ".bmp"}};
  r.all_files = false;
  r.initial_dir = dir;
  r.file_name = name;
  r.flags = tessmor::kFileDialogOverwritePrompt | tessmor::kFileDialogHideReadOnly |
            tessmor::kFileDialogPathMustExist;
  return r;
}

// What the user saw and did in the dialog.
struct Seen {
  QString proposed, afterFilter, question;
};

// Once the dialog shows: picks the next filter with the keyboard, types `typed` as the name
// and presses Save, answering Yes to a replace question if one comes.
void ChooseNextFilterAndSave(Seen& seen, const QString& typed) {
  QTimer::singleShot(0, [&seen, typed] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo");
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
    if (!combo || !edit || !buttons) {
      dialog->reject();
      FAIL() << "not the widget file dialog";
    }
    seen.proposed = edit->text();
    QTest::keyClick(combo, Qt::Key_Down);
    seen.afterFilter = edit->text();
    edit->clear();
    QTest::keyClicks(edit, typed);
    QTimer::singleShot(0, [&seen] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        seen.question = box->text();
        box->button(QMessageBox::Yes)->click();
      }
    });
    buttons->button(QDialogButtonBox::Save)->click();
  });
}

TEST(QtFileDialogs, ChangingTheFilterChangesTheExtensionOfTheName) {
  const std::string dir = tessmor::testing::MakeTempDir();
  QtFileDialogs dialogs;
  Seen seen;
  ChooseNextFilterAndSave(seen, "basin.emf");
  const FileDialogResult chosen = dialogs.Show(ExportRequest(dir, "basin.emf"));
  EXPECT_EQ(seen.proposed, "basin.emf");
  EXPECT_EQ(seen.afterFilter, "basin.wmf");
  ASSERT_TRUE(chosen.ok);
  EXPECT_EQ(chosen.filter_index, 1);
}

TEST(QtFileDialogs, BareNameTakesTheChosenFiltersExtensionBeforeTheReplaceQuestion) {
  const std::string dir = tessmor::testing::MakeTempDir();
  // Not "chart": the widget dialog adds no suffix to a name that is a folder of the
  // process's working directory, and the tests run in the source folder.
  std::ofstream(dir + "/section.wmf") << "older picture";
  QtFileDialogs dialogs;
  Seen seen;
  ChooseNextFilterAndSave(seen, "section");
  const FileDialogResult chosen = dialogs.Show(ExportRequest(dir, "basin.emf"));
  ASSERT_TRUE(chosen.ok);
  EXPECT_EQ(chosen.path, dir + "/section.wmf");
  EXPECT_EQ(chosen.filter_index, 1);
  EXPECT_TRUE(seen.question.startsWith("section.wmf already exists."))
      << seen.question.toStdString();
}

}  // namespace
