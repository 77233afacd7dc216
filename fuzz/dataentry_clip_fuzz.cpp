// libFuzzer harness for the data-entry clipboard text. The first byte chooses how many points
// the dialog edits (1 to 16, equally spaced or not), the second the row that has the focus and
// the operations after the paste; the rest is the clipboard's text. The text is parsed on its
// own and then pasted: a text that parses to a non-empty point is inserted as the point of the
// focused row, one that does not changes nothing, and Undo takes a paste away again.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/ui/Clipboard.h"
#include "platform/ui/Prompts.h"
#include "profile/DataEntryDlg.h"
#include "profile/ProfilePoint.h"

namespace {

/// Answers every box with OK or Yes, without showing it.
class SilentPrompts : public tessmor::Prompts {
 public:
  int MessageBox(const std::string&, unsigned style) override {
    return tessmor::DefaultAnswer(style, true);
  }
  void Beep() override {}
};

void Check(bool ok) {
  if (!ok) std::abort();
}

tessmor::MemoryClipboard& Board() {
  static SilentPrompts prompts;
  static tessmor::MemoryClipboard board;
  static const bool installed =
      (tessmor::SetClipboard(&board), tessmor::SetPrompts(&prompts), true);
  (void)installed;
  return board;
}

void PlaceText(const std::string& text) {
  tessmor::MemoryClipboard& board = Board();
  Check(board.Open());
  board.Empty();
  Check(board.SetText(text));
  board.Close();
}

// The dialog's empty point: distance 0 and an anomaly of exactly +0.0 (-0.0 is a value).
bool IsEmpty(const ProfilePoint& p) {
  return p.distance == 0 && p.anomaly == 0.0 && !std::signbit(p.anomaly);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int n = 1 + (data[0] & 15);
  const int equally_spaced = (data[0] >> 4) & 1;
  const int row = 1 + (data[1] & 7);
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

  ProfilePoint parsed;
  const bool parses = CDataEntryDlg::ParseClipText(text, parsed);
  if (parses) {
    // A parsed point's own text reads back to the same distance.
    const std::string again = CDataEntryDlg::ClipText(parsed);
    ProfilePoint reread;
    if (again.size() <= 127) {
      Check(CDataEntryDlg::ParseClipText(again, reread));
      Check(reread.distance == parsed.distance);
    }
  }

  PlaceText(text);
  CDataEntryDlg dlg;
  PointArray points;
  for (int i = 0; i < n; ++i)
    points.push_back(std::make_unique<ProfilePoint>(ProfilePoint{i * 500, 1.0 + i}));
  dlg.SetData(points, "Fuzz", equally_spaced, 0.5f);
  dlg.OnInitDialog();
  const std::size_t before = dlg.m_points.size();
  dlg.OnSetFocus(CDataEntryDlg::AnomalyId(row));
  const bool pastable = parses && !IsEmpty(parsed) && static_cast<std::size_t>(row) <= before + 1;
  dlg.OnPaste();
  if (pastable) {
    Check(dlg.m_points.size() == before + 1);
    if (!equally_spaced || row == 1) {
      Check(dlg.m_points[row - 1]->distance == parsed.distance);
    }
    Check(static_cast<float>(dlg.m_points[row - 1]->anomaly) == static_cast<float>(parsed.anomaly));
  } else {
    Check(dlg.m_points.size() <= before);
  }
  if (data[1] & 8) {
    dlg.OnUndo();
    // The first point stays, emptied, when the paste had made it the first.
    if (pastable) Check(dlg.m_points.size() <= before || row == 1);
  }
  if (data[1] & 16) {
    dlg.OnCopy();
    dlg.OnNextPage();
    dlg.OnSetFocus(CDataEntryDlg::AnomalyId(1));
    dlg.OnPaste();
  }
  PointArray out;
  std::string name;
  float spacing = 0;
  dlg.GetData(out, name, spacing);
  return 0;
}
