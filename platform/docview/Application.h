#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/PlatformExport.h"

namespace tessmor {

class DocTemplate;
class Document;
class View;

/// The application object: its document templates, the open documents with their views,
/// and the recent-file list. It runs without any window.
class TESSMOR_PLATFORM_EXPORT Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  /// Adds a template; templates are kept in the order they were added.
  DocTemplate* AddDocTemplate(std::unique_ptr<DocTemplate> t);
  const std::vector<std::unique_ptr<DocTemplate>>& templates() const { return templates_; }
  /// The template whose extension `path` has; the first template when none matches.
  DocTemplate* TemplateForPath(const std::string& path) const;

  /// Opens `path` with the template its extension names (or `with`, when given). An already
  /// open document of the same path is returned as it is. Returns null when the open failed;
  /// the failed document is discarded.
  Document* OpenDocumentFile(const std::string& path, DocTemplate* with = nullptr);
  /// A new empty document of `with` (the first template when null); null on failure.
  Document* NewDocument(DocTemplate* with = nullptr);
  /// Closes and destroys an open document with its views.
  void CloseDocument(Document* doc);
  std::vector<Document*> documents() const;
  /// A further view of the open document `doc`, made by its template and given its initial
  /// update; null when `doc` is not open here or its template makes no view.
  View* AddView(Document* doc);
  /// Destroys `view`, one of the views of an open document. The document stays open.
  void RemoveView(View* view);
  /// The views of an open document that this application created.
  std::vector<View*> ViewsOf(const Document* doc) const;

  /// The recent files, newest first (at most `max_recent` entries).
  const std::vector<std::string>& recent_files() const { return recent_; }
  /// Puts `path` at the top of the recent files, once; `path` may be one of recent_files().
  void AddToRecentFileList(const std::string& path);
  void set_max_recent(std::size_t n) { max_recent_ = n; }

 private:
  struct OpenDoc {
    std::unique_ptr<Document> doc;
    std::vector<std::unique_ptr<View>> views;
  };
  Document* Adopt(std::unique_ptr<Document> doc, DocTemplate* t);

  std::vector<std::unique_ptr<DocTemplate>> templates_;
  std::vector<OpenDoc> open_;
  std::vector<std::string> recent_;
  std::size_t max_recent_ = 4;
  int untitled_count_ = 0;
};

/// The running application, or null.
TESSMOR_PLATFORM_EXPORT Application* GetApp();
/// Sets the running application (not owned) and returns the previous one.
TESSMOR_PLATFORM_EXPORT Application* SetApp(Application* app);

}  // namespace tessmor
