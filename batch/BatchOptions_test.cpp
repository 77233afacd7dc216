#include "batch/BatchOptions.h"

#include <gtest/gtest.h>

namespace {

bool Parse(std::vector<std::string> args, BatchOptions& o, std::string& error) {
  return ParseBatchOptions(args, o, error);
}

TEST(BatchOptions, ReadsEveryOption) {
  BatchOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"--interp", "spline:0.25", "--background", "linear:1.217:2.183:23.104:5.466",
                     "--upward", "1.5", "--derivative", "upward", "--model", "granite:300:5",
                     "--answer", "yes", "--save", "out.g", "line.txt"},
                    o, error))
      << error;
  EXPECT_EQ(o.profile, "line.txt");
  ASSERT_TRUE(o.interp);
  EXPECT_EQ(o.interp->method, 1);
  EXPECT_EQ(o.interp->spacing, "0.25");
  ASSERT_TRUE(o.background);
  EXPECT_EQ(o.background->kind, BatchOptions::Background::kLinear);
  EXPECT_EQ(o.background->to_km, "23.104");
  EXPECT_EQ(o.background->to_mgal, "5.466");
  EXPECT_EQ(*o.upward, "1.5");
  EXPECT_EQ(*o.derivative, 101);
  EXPECT_TRUE(o.model->granite);
  EXPECT_EQ(o.model->density, "300");
  EXPECT_TRUE(o.answer_yes);
  EXPECT_EQ(*o.save, "out.g");
}

TEST(BatchOptions, LeavesOutWhatIsNotGiven) {
  BatchOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"--interp", "linear", "--background", "none", "p.dat"}, o, error));
  EXPECT_EQ(o.interp->method, 4);
  EXPECT_EQ(o.interp->spacing, "");
  EXPECT_EQ(o.background->kind, BatchOptions::Background::kNone);
  EXPECT_FALSE(o.upward);
  EXPECT_FALSE(o.model);
  EXPECT_FALSE(o.answer_yes);
}

TEST(BatchOptions, RefusesMalformedCommandLines) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--interp", "cubic", "p.dat"},
      {"--interp", "linear:1:2", "p.dat"},
      {"--background", "linear:1:2:3", "p.dat"},
      {"--background", "constant", "p.dat"},
      {"--derivative", "both", "p.dat"},
      {"--model", "granite:300", "p.dat"},
      {"--answer", "maybe", "p.dat"},
      {"--save", "out.xyz", "p.dat"},
      {"--bogus", "1", "p.dat"},
      {"p.dat", "q.dat"},
      {"p.dat", "--upward"},
  };
  for (const auto& args : bad) {
    BatchOptions o;
    std::string error;
    EXPECT_FALSE(Parse(args, o, error)) << (args.empty() ? "(none)" : args[0]);
    EXPECT_FALSE(error.empty());
  }
}

TEST(BatchOptions, SaveTypeFollowsTheExtension) {
  EXPECT_EQ(SaveTypeFromPath("a/b.gpr"), 329);
  EXPECT_EQ(SaveTypeFromPath("b.dat"), 5);
  EXPECT_EQ(SaveTypeFromPath("b.txt"), 6);
  EXPECT_EQ(SaveTypeFromPath("b.g"), 7);
  EXPECT_EQ(SaveTypeFromPath("b.G"), 0);
}

}  // namespace
