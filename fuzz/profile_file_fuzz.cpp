// libFuzzer harness for the profile readers. The first byte chooses the file type (project in
// either layout, GRAVMAG, GRAVASCII, 2DQN by its two low bits; CSV when bit 3 is set) and
// whether the validation questions are answered Yes or No (bit 2); the other bytes are the
// file. A profile that opens is saved in its own type, and that file must open again (every
// question answered Yes) and save the same bytes: whatever reading repairs or rounds, it does
// so in one go. A GRAVASCII title and a CSV background line carry a linear background as its
// values at two distances, which the document keeps as a level and a slope; beyond 1e7 mGal in
// either term double precision no longer holds the decimals of the title (3) or of the CSV
// line (6), so such a (physically meaningless) background must reopen but may round
// differently. The same holds for an anomaly beyond 1e7 mGal: its three decimals are written
// from fifteen significant digits, which a value of eleven integer digits leaves no room to
// round once only.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "platform/io/Archive.h"
#include "platform/ui/Prompts.h"
#include "profile/ProfilePoint.h"
#include "profile/TessmorDoc.h"

namespace {

// True when the level-and-slope form of the document's background gives back the three
// decimals of its two end values.
bool BackgroundWithinPrecision(const CTessmorDoc& doc) {
  if (doc.m_nBackgroundType != kBackgroundLinear) return true;
  const double limit = 1e7;
  return std::fabs(doc.m_dBackgroundLevel) <= limit &&
         std::fabs(doc.m_dBackgroundSlope * doc.m_nBackgroundLeft) <= limit &&
         std::fabs(doc.m_dBackgroundSlope * doc.m_nBackgroundRight) <= limit;
}

// True when every anomaly is small enough for its three written decimals to read back and
// write again unchanged.
bool AnomaliesWithinPrecision(const CTessmorDoc& doc) {
  for (const auto& p : doc.m_points) {
    if (!(std::fabs(p->anomaly) <= 1e7)) return false;
  }
  return true;
}

/// Answers every box with Yes (or OK) or with No (or Cancel), without showing it.
class ScriptedPrompts : public tessmor::Prompts {
 public:
  int MessageBox(const std::string&, unsigned style) override {
    return tessmor::DefaultAnswer(style, yes);
  }
  void Beep() override {}
  bool yes = false;
};

void Check(bool ok) {
  if (!ok) std::abort();
}

constexpr int kTypes[] = {kFileTypeProject, kFileTypeGravmag, kFileTypeGravAscii, kFileType2DQN};

// Reads `bytes` as a file of `type` into `doc`; false when the file was refused or reading
// threw one of the exceptions a bad file may cause.
bool Read(CTessmorDoc& doc, int type, std::vector<std::uint8_t> bytes) {
  doc.m_nSaveType = type;
  tessmor::Archive ar = tessmor::Archive::FromBytes(std::move(bytes));
  try {
    doc.Serialize(ar);
  } catch (const std::exception&) {
    return false;
  }
  return doc.m_bLoadFailed == 0;
}

std::vector<std::uint8_t> Write(CTessmorDoc& doc) {
  tessmor::Archive ar = tessmor::Archive::ForStore();
  doc.Serialize(ar);
  return ar.StoredBytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static ScriptedPrompts prompts;
  static const bool installed = (tessmor::SetPrompts(&prompts), true);
  (void)installed;
  const int type = (data[0] & 8) ? kFileTypeCsv : kTypes[data[0] & 3];
  prompts.yes = (data[0] & 4) != 0;

  CTessmorDoc doc;
  if (!Read(doc, type, std::vector<std::uint8_t>(data + 1, data + size))) return 0;

  const std::vector<std::uint8_t> first = Write(doc);
  prompts.yes = true;
  CTessmorDoc again;
  Check(Read(again, type, first));
  Check(again.m_points.size() == doc.m_points.size() || type == kFileType2DQN);
  if (BackgroundWithinPrecision(doc) && AnomaliesWithinPrecision(doc)) {
    Check(Write(again) == first);
  }
  return 0;
}
