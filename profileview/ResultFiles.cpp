// The result tables the view writes beside the profile each time it shows a derived curve.
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/io/Archive.h"
#include "platform/io/FileError.h"
#include "platform/ui/Prompts.h"
#include "profile/TessmorDoc.h"
#include "profileview/TessmorView.h"
#include "util/TextData.h"

namespace {

const char* KindWord(int kind) {
  switch (kind) {
    case CTessmorView::kResultDerivative:
      return "Derivative";
    case CTessmorView::kResultBlockModel:
      return "BlockModel";
    case CTessmorView::kResultUpward:
      return "UpwardCont";
    default:
      return nullptr;
  }
}

void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

void Append(std::string& out, const char* format, ...) {
  char buf[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  if (n > 0) out.append(buf, static_cast<std::size_t>(n) < sizeof buf ? n : sizeof buf - 1);
}

// Replaces the file at `path` by `text` whole (see WriteFileReplacing); false when it could
// not be written, the old file then being as it was and the status bar saying why.
bool WriteTable(const std::string& path, const std::string& text) {
  try {
    tessmor::WriteFileReplacing(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    return true;
  } catch (const tessmor::FileException& e) {
    tessmor::GetPrompts().StatusMessage(std::filesystem::path(path).filename().string() +
                                        " was not written: " + CFileErrText(e.cause()));
    return false;
  }
}

}  // namespace

std::string CTessmorView::ResultPath(int kind) const {
  const char* word = KindWord(kind);
  if (!word) return {};
  const CTessmorDoc* doc = GetDocument();
  const std::filesystem::path path(doc ? doc->GetPathName() : std::string());
  std::filesystem::path out = path.parent_path();
  out /= path.stem().string() + "_" + word + ".txt";
  return out.string();
}

int CTessmorView::WriteResults(int kind, int first, const std::vector<float>* values,
                               const BlockResultArray* blocks) {
  const char* word = KindWord(kind);
  const CTessmorDoc* doc = GetDocument();
  if (!word || !doc) return 0;
  const std::string path = ResultPath(kind);

  const std::string base = std::filesystem::path(doc->GetPathName()).stem().string();
  const long dx = doc->m_bEquallySpaced ? doc->GetEqualSpacing() : doc->m_nSpacing;
  int x0 = 0, unused = 0;
  doc->GetDistanceRange(x0, unused, 10);

  std::string text;
  switch (kind) {
    case kResultDerivative: {
      const int n = doc->GetPointCount(10);
      if (n < 5 || !values) {
        WriteTable(path, {});  // the table of an earlier run does not outlive its curve
        return 0;
      }
      Append(text, "2nd Derivative, %s\r\nDist\tDeriv\r\n", base.c_str());
      for (int k = first; k <= n - first - 1 && k < static_cast<int>(values->size()); ++k) {
        Append(text, "%ld \t %g\r\n", x0 + k * dx, static_cast<double>((*values)[k]));
      }
      break;
    }
    case kResultBlockModel: {
      Append(text, "BlockModel, %s\r\nDist\tCalc\tResid\tDepth\r\n", base.c_str());
      if (blocks) {
        for (std::size_t i = 0; i < blocks->size(); ++i) {
          const BlockResult& r = *(*blocks)[i];
          Append(text, "%ld \t %g\t %g\t %g\r\n", x0 + static_cast<long>(i) * dx,
                 static_cast<double>(r.calculated), static_cast<double>(r.residual),
                 static_cast<double>(r.depth));
        }
      }
      break;
    }
    default: {
      if (m_upward.size() <= 1) {
        WriteTable(path, {});
        return 0;
      }
      Append(text, "Upward continuations, %s\r\nDist\tUC\r\n", base.c_str());
      for (const auto& p : m_upward) {
        Append(text, "%ld \t %g\r\n", static_cast<long>(p->distance), p->anomaly);
      }
      break;
    }
  }
  return WriteTable(path, text) ? 1 : 0;
}
