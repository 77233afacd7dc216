#pragma once

// The dashed renderer of cased (closed) arc outlines.

#include "chart/items/DashArc.h"

/// A CDashArc whose outline is always a closed figure: an open arc is outlined from its end
/// through the centre back to its start, as the border of a sector.
class CDashCase : public CDashArc {
 public:
  explicit CDashCase(tessmor::DC* dc, const int* entries = nullptr, int count = 0)
      : CDashArc(dc, entries, count) {}

  int m_bCase = 1;

 protected:
  bool OutlineThroughCentre() const override { return m_bCase != 0 || m_bPie != 0; }
};
