// Resampling of unequally spaced points at the document's constant spacing.
#include "analysis/NumkitVector.h"
#include "platform/ui/Prompts.h"
#include "profile/TessmorDoc.h"

namespace {

const char kOutlierMessage[] =
    "Cannot perform Interpolation\n Possible outlier anomaly data point(s) in the data set  \n "
    "\nPlease Try another interpolation method!!";
const char kInternalMessage[] =
    "Cannot perform interpolation\n Internal failure in interpolation routines\n \nPlease Try "
    "another interpolation method!!";
const char kSameXMessage[] =
    "Cannot perform Interpolation\n Two or more anomaly values with the same X-value\n\nPlease "
    "Check the Data";

}  // namespace

int CTessmorDoc::InterpolateProfile() {
  const int m = GetPointCount(10);
  const int n = GetPointCount(1);
  if (m <= 4 || n <= 3) return 1;

  NumkitVector xa(n), ya(n), xi(m), yi(m), work(m);
  if (!xa.get() || !ya.get() || !xi.get() || !yi.get() || !work.get()) return 1;
  for (int k = 1; k <= n; ++k) {
    xa[k] = static_cast<float>(m_points[k - 1]->distance);
    ya[k] = static_cast<float>(m_points[k - 1]->anomaly);
  }
  // The samples lie a third of a spacing to the right of the positions GetPoint reports.
  xi[1] = static_cast<float>(m_nSpacing / 3) + xa[1];
  for (int k = 2; k <= m; ++k) xi[k] = xi[k - 1] + static_cast<float>(m_nSpacing);

  const int code =
      DoInterpolation(xa.get(), ya.get(), n, xi.get(), m, yi.get(), work.get(), m_nInterpMethod);
  if (code == 0) {
    m_interpolated.RemoveAll();
    for (int k = 1; k <= m; ++k) m_interpolated.Add(yi[k]);
    return 0;
  }
  const char* text = "";
  switch (code) {
    case 20:
    case 24:
      text = kOutlierMessage;
      break;
    case 21:
    case 22:
      text = kInternalMessage;
      break;
    case 23:
      text = kSameXMessage;
      break;
    default:
      break;
  }
  tessmor::GetPrompts().MessageBox(text, tessmor::kPromptOk | tessmor::kPromptIconWarning);
  return 1;
}
