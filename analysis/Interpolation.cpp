#include "analysis/Interpolation.h"

#include "analysis/NumkitVector.h"
#include "platform/ui/Prompts.h"

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

int ResamplePoints(const PointArray& measured, int sample_count, int spacing, int method,
                   std::vector<float>& samples) {
  const int m = sample_count;
  const int n = static_cast<int>(measured.size());
  if (m <= 4 || n <= 3) return 1;

  NumkitVector xa(n), ya(n), xi(m), yi(m), work(m);
  if (!xa.get() || !ya.get() || !xi.get() || !yi.get() || !work.get()) return 1;
  for (int k = 1; k <= n; ++k) {
    xa[k] = static_cast<float>(measured[k - 1]->distance);
    ya[k] = static_cast<float>(measured[k - 1]->anomaly);
  }
  // The samples lie a third of a spacing to the right of first point + index × spacing, where
  // the series places them.
  xi[1] = static_cast<float>(spacing / 3) + xa[1];
  for (int k = 2; k <= m; ++k) xi[k] = xi[k - 1] + static_cast<float>(spacing);

  const int code =
      DoInterpolation(xa.get(), ya.get(), n, xi.get(), m, yi.get(), work.get(), method);
  if (code == 0) {
    samples.clear();
    for (int k = 1; k <= m; ++k) samples.push_back(yi[k]);
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
