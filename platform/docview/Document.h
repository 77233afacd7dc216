#pragma once

#include <string>
#include <vector>

#include "platform/PlatformExport.h"

namespace tessmor {

class Archive;
class DocTemplate;
class Document;

/// A view of a document: told of every change through OnUpdate.
class TESSMOR_PLATFORM_EXPORT View {
 public:
  virtual ~View();
  Document* GetDocument() const { return document_; }
  /// Called once after the view is attached to a freshly opened or created document.
  virtual void OnInitialUpdate();
  /// Called by Document::UpdateAllViews; `hint` and `object` say what changed.
  virtual void OnUpdate(View* sender, long hint, void* object);

 private:
  friend class Document;
  Document* document_ = nullptr;
};

/// A document of the document/view framework: a path, a title, a modified flag, its views,
/// and the open/save/new hooks a derived document overrides.
class TESSMOR_PLATFORM_EXPORT Document {
 public:
  Document();
  virtual ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  const std::string& GetPathName() const { return path_; }
  /// Sets the path and the title (the file name, with its extension).
  virtual void SetPathName(const std::string& path);
  const std::string& GetTitle() const { return title_; }
  virtual void SetTitle(const std::string& title) { title_ = title; }
  bool IsModified() const { return modified_; }
  void SetModifiedFlag(bool modified = true) { modified_ = modified; }

  DocTemplate* GetDocTemplate() const { return template_; }
  void SetDocTemplate(DocTemplate* t) { template_ = t; }

  /// Attaches a view (not owned) to this document.
  void AddView(View* view);
  void RemoveView(View* view);
  const std::vector<View*>& views() const { return views_; }
  /// Tells every view but `sender` of a change.
  void UpdateAllViews(View* sender, long hint = 0, void* object = nullptr);

  /// Empties the document for a new one. Returns false when it cannot.
  virtual bool OnNewDocument();
  /// Reads the document from `path` through Serialize. On any failure it reports
  /// "Failed to open document.", empties the document and returns false.
  virtual bool OnOpenDocument(const std::string& path);
  /// Writes the document to `path` through Serialize; the file is replaced only when the whole
  /// document was written. On failure it reports "Failed to save document." (or "Invalid
  /// filename." when the file cannot be created) through ReportSaveError and returns false.
  virtual bool OnSaveDocument(const std::string& path);
  /// Reads or writes the document's contents.
  virtual void Serialize(Archive& ar);
  /// Frees the document's contents.
  virtual void DeleteContents();

  /// Shows a failed open or save in a message box.
  static void ReportSaveLoadError(const std::string& message);
  /// Shows a failed save: `message`, and what went wrong when `cause` says it. This one
  /// shows `message` alone; a document that knows the file-error texts adds them.
  virtual void ReportSaveError(const std::string& message, int cause);

 private:
  std::string path_;
  std::string title_;
  bool modified_ = false;
  DocTemplate* template_ = nullptr;
  std::vector<View*> views_;
};

/// Texts of the framework's load and save failures.
TESSMOR_PLATFORM_EXPORT extern const char* const kFailedToOpenDocument;
TESSMOR_PLATFORM_EXPORT extern const char* const kFailedToSaveDocument;
TESSMOR_PLATFORM_EXPORT extern const char* const kInvalidFilename;

}  // namespace tessmor
