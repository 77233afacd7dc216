#include "platform/docview/Application.h"

#include <algorithm>
#include <filesystem>

#include "platform/docview/DocTemplate.h"
#include "platform/docview/Document.h"

namespace tessmor {

namespace {
Application* g_app = nullptr;

std::string Canonical(const std::string& path) {
  std::error_code ec;
  auto p = std::filesystem::weakly_canonical(path, ec);
  return ec ? path : p.string();
}
}  // namespace

Application* GetApp() { return g_app; }

Application* SetApp(Application* app) {
  Application* old = g_app;
  g_app = app;
  return old;
}

Application::Application() = default;

Application::~Application() {
  // Views before documents, last opened first.
  while (!open_.empty()) {
    open_.back().views.clear();
    open_.pop_back();
  }
  if (g_app == this) g_app = nullptr;
}

DocTemplate* Application::AddDocTemplate(std::unique_ptr<DocTemplate> t) {
  templates_.push_back(std::move(t));
  return templates_.back().get();
}

DocTemplate* Application::TemplateForPath(const std::string& path) const {
  for (const auto& t : templates_) {
    if (t->MatchesExtension(path)) return t.get();
  }
  return templates_.empty() ? nullptr : templates_.front().get();
}

Document* Application::Adopt(std::unique_ptr<Document> doc, DocTemplate* t) {
  OpenDoc entry;
  entry.doc = std::move(doc);
  if (auto view = t->CreateView()) {
    entry.doc->AddView(view.get());
    entry.views.push_back(std::move(view));
  }
  open_.push_back(std::move(entry));
  Document* d = open_.back().doc.get();
  // A copy: the initial update may not change the list, but be safe.
  for (const auto& v : std::vector<View*>(d->views())) v->OnInitialUpdate();
  return d;
}

Document* Application::OpenDocumentFile(const std::string& path, DocTemplate* with) {
  const std::string wanted = Canonical(path);
  for (const auto& e : open_) {
    if (!e.doc->GetPathName().empty() && Canonical(e.doc->GetPathName()) == wanted) {
      return e.doc.get();
    }
  }
  DocTemplate* t = with ? with : TemplateForPath(path);
  if (!t) return nullptr;
  std::unique_ptr<Document> doc = t->CreateNewDocument();
  if (!doc) return nullptr;
  // The title is known while the document reads itself (readers use it as a fallback name).
  doc->SetTitle(std::filesystem::path(path).filename().string());
  if (!doc->OnOpenDocument(path)) return nullptr;
  doc->SetPathName(path);
  doc->SetModifiedFlag(false);
  AddToRecentFileList(path);
  return Adopt(std::move(doc), t);
}

Document* Application::NewDocument(DocTemplate* with) {
  DocTemplate* t = with ? with : (templates_.empty() ? nullptr : templates_.front().get());
  if (!t) return nullptr;
  std::unique_ptr<Document> doc = t->CreateNewDocument();
  if (!doc || !doc->OnNewDocument()) return nullptr;
  // "Tessmor1", "Tessmor2", ...: the template's document name and a running number.
  std::string name = t->GetDocString(DocTemplate::kDocName);
  if (name.empty()) name = "Untitled";
  doc->SetTitle(name + std::to_string(++untitled_count_));
  return Adopt(std::move(doc), t);
}

void Application::CloseDocument(Document* doc) {
  auto it = std::find_if(open_.begin(), open_.end(),
                         [doc](const OpenDoc& e) { return e.doc.get() == doc; });
  if (it == open_.end()) return;
  it->views.clear();
  open_.erase(it);
}

View* Application::AddView(Document* doc) {
  auto it = std::find_if(open_.begin(), open_.end(),
                         [doc](const OpenDoc& e) { return e.doc.get() == doc; });
  if (it == open_.end() || !doc->GetDocTemplate()) return nullptr;
  std::unique_ptr<View> view = doc->GetDocTemplate()->CreateView();
  if (!view) return nullptr;
  View* v = view.get();
  doc->AddView(v);
  it->views.push_back(std::move(view));
  v->OnInitialUpdate();
  return v;
}

void Application::RemoveView(View* view) {
  for (auto& e : open_) {
    auto v = std::find_if(e.views.begin(), e.views.end(),
                          [view](const std::unique_ptr<View>& p) { return p.get() == view; });
    if (v != e.views.end()) {
      e.views.erase(v);
      return;
    }
  }
}

std::vector<Document*> Application::documents() const {
  std::vector<Document*> out;
  for (const auto& e : open_) out.push_back(e.doc.get());
  return out;
}

std::vector<View*> Application::ViewsOf(const Document* doc) const {
  std::vector<View*> out;
  for (const auto& e : open_) {
    if (e.doc.get() == doc) {
      for (const auto& v : e.views) out.push_back(v.get());
    }
  }
  return out;
}

void Application::AddToRecentFileList(const std::string& path) {
  // `path` may be an entry of the list itself (a file opened from the list): the list is
  // edited below, so work on a copy.
  std::string entry = path;
  recent_.erase(std::remove(recent_.begin(), recent_.end(), entry), recent_.end());
  recent_.insert(recent_.begin(), std::move(entry));
  if (recent_.size() > max_recent_) recent_.resize(max_recent_);
}

}  // namespace tessmor
