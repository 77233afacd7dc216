#include "platform/docview/Document.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/docview/Application.h"
#include "platform/docview/DocTemplate.h"
#include "platform/io/Archive.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"

namespace tessmor {
namespace {

// A document whose contents are one length-prefixed string.
class TextDoc : public Document {
 public:
  std::string text;
  std::string title_while_reading;
  void Serialize(Archive& ar) override {
    if (ar.IsStoring()) {
      ar.WriteString(text);
    } else {
      title_while_reading = GetTitle();
      text = ar.ReadString();
    }
  }
  void DeleteContents() override { text.clear(); }
};

class CountingView : public View {
 public:
  int initial = 0;
  std::vector<long> hints;
  void OnInitialUpdate() override { ++initial; }
  void OnUpdate(View*, long hint, void*) override { hints.push_back(hint); }
};

std::unique_ptr<DocTemplate> MakeTemplate(int id, const std::string& ext) {
  return std::make_unique<DocTemplate>(
      id, "\nT\nDoc\nFiles (*" + ext + ")\n" + ext + "\nType\nType name",
      [] { return std::make_unique<TextDoc>(); }, [] { return std::make_unique<CountingView>(); });
}

TEST(DocTemplate, SplitsItsDocumentString) {
  DocTemplate t(329,
                "\nTessmor\nTESSMOR Document\nTESSMOR File (*.gpr)\n.gpr\nTessmorFileType\n"
                "TESSMOR File Type",
                [] { return std::make_unique<TextDoc>(); });
  EXPECT_EQ(t.GetDocString(DocTemplate::kWindowTitle), "");
  EXPECT_EQ(t.GetDocString(DocTemplate::kDocName), "Tessmor");
  EXPECT_EQ(t.GetDocString(DocTemplate::kFilterName), "TESSMOR File (*.gpr)");
  EXPECT_EQ(t.GetDocString(DocTemplate::kFilterExt), ".gpr");
  EXPECT_EQ(t.GetDocString(DocTemplate::kRegFileTypeName), "TESSMOR File Type");
  EXPECT_TRUE(t.MatchesExtension("/x/line.GPR"));
  EXPECT_FALSE(t.MatchesExtension("/x/line.gprx"));
  EXPECT_EQ(t.CreateNewDocument()->GetDocTemplate(), &t);
}

TEST(Application, OpensByExtensionAndFallsBackToTheFirstTemplate) {
  testing::FakePrompts prompts;
  Application app;
  DocTemplate* first = app.AddDocTemplate(MakeTemplate(329, ".gpr"));
  DocTemplate* second = app.AddDocTemplate(MakeTemplate(5, ".dat"));
  const std::string dir = testing::MakeTempDir();
  for (const char* name : {"a.dat", "b.xyz"}) {
    Archive out = Archive::ForStore(dir + "/" + name);
    out.WriteString(std::string("contents of ") + name);
    out.Commit();
  }
  Document* a = app.OpenDocumentFile(dir + "/a.dat");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetDocTemplate(), second);
  EXPECT_EQ(static_cast<TextDoc*>(a)->text, "contents of a.dat");
  EXPECT_EQ(static_cast<TextDoc*>(a)->title_while_reading, "a.dat");
  EXPECT_EQ(a->GetTitle(), "a.dat");
  EXPECT_FALSE(a->IsModified());
  auto* view = static_cast<CountingView*>(app.ViewsOf(a).at(0));
  EXPECT_EQ(view->initial, 1);
  a->UpdateAllViews(nullptr, 200);
  a->UpdateAllViews(view, 201);
  EXPECT_EQ(view->hints, std::vector<long>{200});

  Document* b = app.OpenDocumentFile(dir + "/b.xyz");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->GetDocTemplate(), first);
  // Opening the same path again gives the open document.
  EXPECT_EQ(app.OpenDocumentFile(dir + "/a.dat"), a);
  EXPECT_EQ(app.documents().size(), 2u);
  EXPECT_EQ(app.recent_files().front(), dir + "/b.xyz");
  EXPECT_TRUE(prompts.texts().empty());
}

TEST(Application, FailedOpenReportsAndLeavesNoDocument) {
  testing::FakePrompts prompts;
  Application app;
  app.AddDocTemplate(MakeTemplate(329, ".gpr"));
  const std::string dir = testing::MakeTempDir();
  {
    std::ofstream(dir + "/short.gpr") << "\x09"
                                         "abc";
  }  // says 9 characters, holds 3
  EXPECT_EQ(app.OpenDocumentFile(dir + "/short.gpr"), nullptr);
  EXPECT_EQ(app.OpenDocumentFile(dir + "/missing.gpr"), nullptr);
  EXPECT_TRUE(app.documents().empty());
  EXPECT_EQ(prompts.texts(),
            (std::vector<std::string>{"Failed to open document.", "Failed to open document."}));
}

TEST(Application, OpeningFromTheRecentListKeepsEveryEntryOnce) {
  testing::FakePrompts prompts;
  Application app;
  app.AddDocTemplate(MakeTemplate(329, ".gpr"));
  const std::string dir = testing::MakeTempDir();
  for (const char* name : {"x.gpr", "x2.gpr", "y.gpr"}) {
    Archive out = Archive::ForStore(dir + "/" + name);
    out.WriteString(name);
    out.Commit();
  }
  const std::string x = dir + "/x.gpr", x2 = dir + "/x2.gpr", y = dir + "/y.gpr";
  for (const std::string& path : {x, x2}) app.CloseDocument(app.OpenDocumentFile(path));
  ASSERT_EQ(app.recent_files(), (std::vector<std::string>{x2, x}));

  // The newest entry, opened by the list's own string.
  Document* doc = app.OpenDocumentFile(app.recent_files()[0]);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->GetPathName(), x2);
  EXPECT_EQ(app.recent_files(), (std::vector<std::string>{x2, x}));
  app.CloseDocument(doc);

  // An older entry moves to the top.
  app.CloseDocument(app.OpenDocumentFile(y));
  ASSERT_EQ(app.recent_files(), (std::vector<std::string>{y, x2, x}));
  doc = app.OpenDocumentFile(app.recent_files()[2]);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(static_cast<TextDoc*>(doc)->text, "x.gpr");
  EXPECT_EQ(app.recent_files(), (std::vector<std::string>{x, y, x2}));

  // Adding an entry of the list itself only moves it.
  app.AddToRecentFileList(app.recent_files()[0]);
  app.AddToRecentFileList(app.recent_files()[1]);
  EXPECT_EQ(app.recent_files(), (std::vector<std::string>{y, x, x2}));
  EXPECT_TRUE(prompts.texts().empty());
}

TEST(Document, FailedSaveKeepsTheFileItReplaces) {
  testing::FakePrompts prompts;
  const std::string dir = testing::MakeTempDir();
  const std::string path = dir + "/doc.gpr";
  TextDoc doc;
  doc.text = "first";
  ASSERT_TRUE(doc.OnSaveDocument(path));
  // A document whose writing throws half-way must not touch the saved file.
  class Throwing : public TextDoc {
   public:
    void Serialize(Archive& ar) override {
      ar.WriteString("partial");
      throw ArchiveException();
    }
  } bad;
  EXPECT_FALSE(bad.OnSaveDocument(path));
  EXPECT_EQ(prompts.texts(), std::vector<std::string>{"Failed to save document."});
  TextDoc back;
  ASSERT_TRUE(back.OnOpenDocument(path));
  EXPECT_EQ(back.text, "first");
  EXPECT_FALSE(doc.OnSaveDocument(dir + "/no/such/folder/x.gpr"));
  EXPECT_EQ(prompts.texts().back(), "Invalid filename.");
}

TEST(Document, SaveThroughALinkKeepsTheLinkAndThePermissions) {
  testing::FakePrompts prompts;
  const std::string dir = testing::MakeTempDir();
  TextDoc doc;
  doc.text = "first";
  ASSERT_TRUE(doc.OnSaveDocument(dir + "/real.gpr"));
  ASSERT_EQ(::chmod((dir + "/real.gpr").c_str(), 0604), 0);
  std::filesystem::create_symlink("real.gpr", dir + "/link.gpr");
  doc.text = "second";
  ASSERT_TRUE(doc.OnSaveDocument(dir + "/link.gpr"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "/link.gpr"));
  TextDoc back;
  ASSERT_TRUE(back.OnOpenDocument(dir + "/real.gpr"));
  EXPECT_EQ(back.text, "second");
  struct stat st;
  ASSERT_EQ(::stat((dir + "/real.gpr").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 2) << "a temporary file was left";
  EXPECT_TRUE(prompts.texts().empty());
}

TEST(Document, SaveOnAFullDiskSaysSoAndKeepsTheOldFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  const std::string dir = testing::MakeTempDir() + "/small";
  std::filesystem::create_directory(dir);
  if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a 64 KiB tmpfs here: " << std::strerror(errno);
  }
  testing::FakePrompts prompts;
  TextDoc doc;
  doc.text = "first";
  ASSERT_TRUE(doc.OnSaveDocument(dir + "/doc.gpr"));
  const std::string before = testing::Slurp(dir + "/doc.gpr");
  doc.text.assign(200 * 1024, 'x');
  doc.SetModifiedFlag(true);
  EXPECT_FALSE(doc.OnSaveDocument(dir + "/doc.gpr"));
  EXPECT_EQ(prompts.texts(), std::vector<std::string>{"Failed to save document."});
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(testing::Slurp(dir + "/doc.gpr"), before);
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1) << "a temporary file was left";
  ::umount2(dir.c_str(), MNT_DETACH);
}

}  // namespace
}  // namespace tessmor
