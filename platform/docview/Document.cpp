#include "platform/docview/Document.h"

#include <algorithm>
#include <filesystem>

#include "platform/io/Archive.h"
#include "platform/io/FileError.h"
#include "platform/ui/Prompts.h"

namespace tessmor {

const char* const kFailedToOpenDocument = "Failed to open document.";
const char* const kFailedToSaveDocument = "Failed to save document.";
const char* const kInvalidFilename = "Invalid filename.";

View::~View() {
  if (document_) document_->RemoveView(this);
}

void View::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void View::OnUpdate(View*, long, void*) {}

Document::Document() = default;

Document::~Document() {
  for (View* v : views_) v->document_ = nullptr;
}

void Document::SetPathName(const std::string& path) {
  path_ = path;
  SetTitle(std::filesystem::path(path).filename().string());
}

void Document::AddView(View* view) {
  if (!view || std::find(views_.begin(), views_.end(), view) != views_.end()) return;
  if (view->document_) view->document_->RemoveView(view);
  views_.push_back(view);
  view->document_ = this;
}

void Document::RemoveView(View* view) {
  auto it = std::find(views_.begin(), views_.end(), view);
  if (it == views_.end()) return;
  views_.erase(it);
  view->document_ = nullptr;
}

void Document::UpdateAllViews(View* sender, long hint, void* object) {
  // A copy: a view may detach itself while it is being updated.
  const std::vector<View*> views = views_;
  for (View* v : views) {
    if (v != sender) v->OnUpdate(sender, hint, object);
  }
}

bool Document::OnNewDocument() {
  DeleteContents();
  path_.clear();
  modified_ = false;
  return true;
}

bool Document::OnOpenDocument(const std::string& path) {
  try {
    Archive ar = Archive::OpenForLoad(path);
    DeleteContents();
    SetModifiedFlag(true);
    Serialize(ar);
  } catch (const std::exception&) {
    ReportSaveLoadError(kFailedToOpenDocument);
    DeleteContents();
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

bool Document::OnSaveDocument(const std::string& path) {
  Archive ar = Archive::ForStore(path);
  try {
    Serialize(ar);
  } catch (const std::exception&) {
    ReportSaveError(kFailedToSaveDocument, kFileErrorNone);
    return false;
  }
  try {
    ar.Commit();
  } catch (const FileException& e) {
    const bool cannot_create = e.cause() == kFileErrorBadPath || e.cause() == kFileErrorNotFound ||
                               e.cause() == kFileErrorAccessDenied;
    ReportSaveError(cannot_create ? kInvalidFilename : kFailedToSaveDocument, e.cause());
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

void Document::Serialize(Archive&) {}

void Document::DeleteContents() {}

void Document::ReportSaveLoadError(const std::string& message) {
  GetPrompts().MessageBox(message, kPromptOk | kPromptIconWarning);
}

void Document::ReportSaveError(const std::string& message, int) { ReportSaveLoadError(message); }

}  // namespace tessmor
