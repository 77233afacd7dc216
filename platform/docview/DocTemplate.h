#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/PlatformExport.h"

namespace tessmor {

class Document;
class View;

/// One kind of document: its resource number, its document string (seven fields separated
/// by line feeds: window title, document name, new-file name, filter name, filter extension,
/// registry file-type id, registry file-type name) and the factories of its document and view.
class TESSMOR_PLATFORM_EXPORT DocTemplate {
 public:
  enum DocStringIndex {
    kWindowTitle = 0,
    kDocName = 1,
    kFileNewName = 2,
    kFilterName = 3,
    kFilterExt = 4,
    kRegFileTypeId = 5,
    kRegFileTypeName = 6,
  };
  using DocumentFactory = std::function<std::unique_ptr<Document>()>;
  using ViewFactory = std::function<std::unique_ptr<View>()>;

  DocTemplate(int resource_id, std::string doc_string, DocumentFactory make_document,
              ViewFactory make_view = {});

  int resource_id() const { return resource_id_; }
  const std::string& doc_string() const { return doc_string_; }
  /// The field `index` of the document string; empty when the string has no such field.
  std::string GetDocString(DocStringIndex index) const;
  /// True when `path` ends with this template's filter extension (compared without case).
  bool MatchesExtension(const std::string& path) const;

  /// A new, empty document bound to this template.
  std::unique_ptr<Document> CreateNewDocument();
  /// A new view for a document of this template, or null when the template makes none.
  std::unique_ptr<View> CreateView();

 private:
  int resource_id_;
  std::string doc_string_;
  DocumentFactory make_document_;
  ViewFactory make_view_;
};

}  // namespace tessmor
