// libFuzzer harness for the chart file: arbitrary bytes read as a chart body by a fresh
// document. A read either succeeds or fails with the chart left empty (no style, group or
// bitmap). A chart that was read is written, and that file must read back and write the same
// bytes again: whatever reading repairs or drops, it does so in one go. The middle of the
// chart is hit-tested, which builds the regions of the items around it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <vector>

#include "chart/document/VexaDoc.h"
#include "platform/io/Archive.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Reads `bytes` into `doc`; false when reading threw one of the exceptions a bad file may
// cause.
bool Read(CVexaDoc& doc, std::vector<std::uint8_t> bytes) {
  tessmor::Archive ar = tessmor::Archive::FromBytes(std::move(bytes));
  try {
    doc.SerializeChart(ar);
    return true;
  } catch (const tessmor::ArchiveException&) {
    return false;
  } catch (const std::exception&) {
    return false;
  }
}

std::vector<std::uint8_t> Write(CVexaDoc& doc) {
  tessmor::Archive ar = tessmor::Archive::ForStore();
  doc.SerializeChart(ar);
  return ar.StoredBytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CVexaDoc doc;
  if (!Read(doc, std::vector<std::uint8_t>(data, data + size))) {
    Check(doc.IsChartEmpty() == 1);
    Check(doc.m_groups.IsEmpty());
    Check(doc.m_bitmaps.GetSize() == 0);
    return 0;
  }

  // Regions are built when first needed: hit the middle of the lines and of the fills.
  const auto middle = [](std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(a) + b) / 2);
  };
  const tessmor::RECT lines = doc.m_lineManager.GetBounds();
  doc.m_lineManager.HitTestStroke(middle(lines.left, lines.right), middle(lines.top, lines.bottom));
  const tessmor::RECT fills = doc.m_fillManager.GetBounds();
  doc.m_fillManager.HitTestFilled(middle(fills.left, fills.right), middle(fills.top, fills.bottom));

  const std::vector<std::uint8_t> first = Write(doc);
  CVexaDoc again;
  Check(Read(again, first));
  Check(again.m_lineManager.GetSize() == doc.m_lineManager.GetSize());
  Check(again.m_fillManager.GetSize() == doc.m_fillManager.GetSize());
  Check(again.m_charManager.GetSize() == doc.m_charManager.GetSize());
  Check(Write(again) == first);
  return 0;
}
