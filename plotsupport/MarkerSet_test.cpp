#include "plotsupport/MarkerSet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A marker set that cleans itself up.
struct ScopedSet {
  MARKERSET set{};
  ~ScopedSet() { CleanDllMarkerSet(&set, 0); }
};

TEST(VexaDLLMemory, GivesZeroFilledBlocksThatCanBeFreedOnce) {
  auto* block = static_cast<unsigned char*>(GetVexaDLLMemory(64));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(block[i], 0) << i;
  DeleteVexaDLLMemory(block, 64);
  // A second free of the same block, and a block of somebody else, are left alone.
  DeleteVexaDLLMemory(block, 64);
  int mine = 0;
  DeleteVexaDLLMemory(&mine, sizeof mine);
  DeleteVexaDLLMemory(nullptr, 0);
  void* empty = GetVexaDLLMemory(0);
  EXPECT_NE(empty, nullptr);
  DeleteVexaDLLMemory(empty, 0);
}

TEST(SetDefaultMarkerSet, LabelsEntriesWithCyclingSymbolsAndColours) {
  ScopedSet s;
  EXPECT_EQ(SetDefaultMarkerSet(&s.set, 16, kMarkerSetLabels), 16);
  ASSERT_EQ(s.set.count, 16);
  EXPECT_STREQ(s.set.names[0], "Label 1");
  EXPECT_STREQ(s.set.names[15], "Label 16");
  EXPECT_EQ(s.set.markers[0].symbol, 1);
  EXPECT_EQ(s.set.markers[14].symbol, 15);
  EXPECT_EQ(s.set.markers[15].symbol, 1);
  EXPECT_EQ(s.set.markers[3].size, 80u);
  // The 14 colours in order, then again from the first.
  EXPECT_EQ(s.set.markers[0].brush.colour, 0x000000u);
  EXPECT_EQ(s.set.markers[1].brush.colour, 0x0000FFu);
  EXPECT_EQ(s.set.markers[13].brush.colour, 0x004040u);
  EXPECT_EQ(s.set.markers[14].brush.colour, 0x000000u);
  EXPECT_EQ(s.set.pens[1].colour, 0x0000FFu);
  EXPECT_EQ(s.set.flags[0], 1);
  EXPECT_EQ(s.set.flags[2], 1);
}

TEST(SetDefaultMarkerSet, MakesNrmPairsWithHollowUpperEntries) {
  ScopedSet s;
  ASSERT_EQ(SetDefaultMarkerSet(&s.set, 6, kMarkerSetNrm), 6);
  EXPECT_STREQ(s.set.names[0], "NRM %%(lower)");
  EXPECT_STREQ(s.set.names[1], "NRM %%(upper)");
  EXPECT_STREQ(s.set.names[2], "Set 1 %% (lower) ");
  EXPECT_STREQ(s.set.names[3], "Set 1 %%(upper) ");
  EXPECT_STREQ(s.set.names[5], "Set 2 %%(upper) ");
  EXPECT_EQ(s.set.markers[0].symbol, 5);
  EXPECT_EQ(s.set.markers[0].size, 120u);
  EXPECT_EQ(s.set.markers[1].brush.kind, kBrushHollow);
  EXPECT_EQ(s.set.markers[0].brush.kind, kBrushSolid);
  EXPECT_EQ(s.set.markers[2].symbol, 7);
  EXPECT_EQ(s.set.markers[2].size, 80u);
  EXPECT_EQ(s.set.markers[3].brush.kind, kBrushHollow);
  EXPECT_EQ(s.set.pens[2].style, 1);
  EXPECT_EQ(s.set.pens[3].style, 0);
  // One colour per pair.
  EXPECT_EQ(s.set.markers[2].pen.colour, s.set.markers[3].pen.colour);
  EXPECT_NE(s.set.markers[2].pen.colour, s.set.markers[4].pen.colour);
}

TEST(SetDefaultMarkerSet, MakesMeanPairsWithSymbolsAdvancingPerPair) {
  ScopedSet s;
  ASSERT_EQ(SetDefaultMarkerSet(&s.set, 22, kMarkerSetMean), 22);
  EXPECT_STREQ(s.set.names[0], "Mean %%(lower)");
  EXPECT_STREQ(s.set.names[1], "Mean %%(upper)");
  EXPECT_STREQ(s.set.names[2], "Set 1 %% (lower) ");
  EXPECT_STREQ(s.set.names[3], "Set 1 %% (upper) ");
  EXPECT_EQ(s.set.markers[0].symbol, 9);
  EXPECT_EQ(s.set.markers[2].symbol, 1);
  EXPECT_EQ(s.set.markers[3].symbol, 1);
  EXPECT_EQ(s.set.markers[4].symbol, 2);
  // Set 9 has symbol 9, set 10 starts again at 1.
  EXPECT_EQ(s.set.markers[18].symbol, 9);
  EXPECT_EQ(s.set.markers[20].symbol, 1);
}

TEST(SetDefaultMarkerSet, GivesDefaultsAndEmptyNamesForOtherModes) {
  ScopedSet s;
  ASSERT_EQ(SetDefaultMarkerSet(&s.set, 2, 7), 2);
  EXPECT_STREQ(s.set.names[1], "");
  EXPECT_EQ(s.set.markers[1].symbol, 5);
  EXPECT_EQ(s.set.pens[1].width, 0.2f);
}

TEST(SetDefaultMarkerSet, MakesNothingForNoEntries) {
  ScopedSet s;
  EXPECT_EQ(SetDefaultMarkerSet(&s.set, -3, kMarkerSetLabels), 0);
  EXPECT_EQ(s.set.count, 0);
  EXPECT_EQ(s.set.names, nullptr);
  EXPECT_EQ(SetDefaultMarkerSet(nullptr, 3, kMarkerSetLabels), 0);
  // Too many entries for one block: refused, not overrun.
  EXPECT_EQ(SetDefaultMarkerSet(&s.set, 0x7FFFFFFF, kMarkerSetLabels), 0);
  EXPECT_EQ(s.set.markers, nullptr);
}

TEST(ResetMarkerName, KeepsTheOldTailFromItsPercentSigns) {
  ScopedSet s;
  ASSERT_EQ(SetDefaultMarkerSet(&s.set, 4, kMarkerSetNrm), 4);
  EXPECT_EQ(ResetMarkerName(&s.set, 2, "Site A ", 0, 0), 1);
  EXPECT_STREQ(s.set.names[2], "Site A %% (lower) ");
  EXPECT_EQ(ResetMarkerName(&s.set, 3, "Site B", 1, 0), 1);
  EXPECT_STREQ(s.set.names[3], "Site B");
}

TEST(ResetMarkerName, PadsOrCutsToTheWidth) {
  ScopedSet s;
  ASSERT_EQ(SetDefaultMarkerSet(&s.set, 2, kMarkerSetLabels), 2);
  EXPECT_EQ(ResetMarkerName(&s.set, 0, "Ab", 1, 5), 1);
  EXPECT_STREQ(s.set.names[0], "Ab   ");
  EXPECT_EQ(ResetMarkerName(&s.set, 1, "Abcdefgh", 1, 3), 1);
  EXPECT_STREQ(s.set.names[1], "Abc");
}

TEST(ResetMarkerName, RefusesEntriesOutsideTheSet) {
  ScopedSet s;
  ASSERT_EQ(SetDefaultMarkerSet(&s.set, 2, kMarkerSetLabels), 2);
  EXPECT_EQ(ResetMarkerName(&s.set, 2, "x", 1, 0), 0);
  EXPECT_EQ(ResetMarkerName(&s.set, -1, "x", 1, 0), 0);
  EXPECT_EQ(ResetMarkerName(&s.set, 0, nullptr, 1, 0), 0);
  EXPECT_STREQ(s.set.names[0], "Label 1");
}

TEST(CleanDllMarkerSet, FreesOnlyThePartAsked) {
  ScopedSet s;
  ASSERT_EQ(SetDefaultMarkerSet(&s.set, 3, kMarkerSetLabels), 3);
  CleanDllMarkerSet(&s.set, 2);
  EXPECT_EQ(s.set.markers, nullptr);
  EXPECT_NE(s.set.names, nullptr);
  EXPECT_NE(s.set.pens, nullptr);
  EXPECT_EQ(s.set.count, 3);
  CleanDllMarkerSet(&s.set, 1);
  EXPECT_EQ(s.set.names, nullptr);
  CleanDllMarkerSet(&s.set, 0);
  EXPECT_EQ(s.set.pens, nullptr);
  EXPECT_EQ(s.set.count, 0);
}

TEST(CleanDllMarkerSet, LeavesArraysThatAreNotTheLibrarysBlocks) {
  VEXAPEN own_pens[2] = {};
  MARKERSET set{};
  set.count = 2;
  set.pens = own_pens;
  CleanDllMarkerSet(&set, 3);
  EXPECT_EQ(set.pens, own_pens);
  // An array too small for the count is not taken for the set's array either.
  set.pens = static_cast<VEXAPEN*>(GetVexaDLLMemory(sizeof(VEXAPEN)));
  CleanDllMarkerSet(&set, 3);
  EXPECT_NE(set.pens, nullptr);
  DeleteVexaDLLMemory(set.pens, 0);
}

}  // namespace
