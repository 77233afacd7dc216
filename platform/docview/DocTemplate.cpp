#include "platform/docview/DocTemplate.h"

#include <algorithm>
#include <cctype>

#include "platform/docview/Document.h"

namespace tessmor {

DocTemplate::DocTemplate(int resource_id, std::string doc_string, DocumentFactory make_document,
                         ViewFactory make_view)
    : resource_id_(resource_id),
      doc_string_(std::move(doc_string)),
      make_document_(std::move(make_document)),
      make_view_(std::move(make_view)) {}

std::string DocTemplate::GetDocString(DocStringIndex index) const {
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) {
    std::size_t nl = doc_string_.find('\n', start);
    if (nl == std::string::npos) return {};
    start = nl + 1;
  }
  std::size_t end = doc_string_.find('\n', start);
  return doc_string_.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool DocTemplate::MatchesExtension(const std::string& path) const {
  const std::string ext = GetDocString(kFilterExt);
  if (ext.empty() || path.size() < ext.size()) return false;
  return std::equal(ext.rbegin(), ext.rend(), path.rbegin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

std::unique_ptr<Document> DocTemplate::CreateNewDocument() {
  if (!make_document_) return nullptr;
  std::unique_ptr<Document> doc = make_document_();
  if (doc) doc->SetDocTemplate(this);
  return doc;
}

std::unique_ptr<View> DocTemplate::CreateView() { return make_view_ ? make_view_() : nullptr; }

}  // namespace tessmor
