// Every reference case, run through the batch job, reproduces its independently computed
// result tables within the tolerance its manifest states.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text, bool& crlf) {
  std::vector<std::string> lines;
  crlf = true;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      crlf = false;
      lines.push_back(text.substr(start));
      break;
    }
    if (end == start || text[end - 1] != '\r') crlf = false;
    lines.push_back(text.substr(start, end - start - (end > start && text[end - 1] == '\r')));
    start = end + 1;
  }
  return lines;
}

/// Compares one result table with its expected twin by the reference rules.
void CompareTable(const fs::path& got_path, const fs::path& want_path,
                  const std::vector<double>& atol) {
  SCOPED_TRACE(got_path.filename().string());
  ASSERT_TRUE(fs::exists(got_path));
  bool got_crlf = false, want_crlf = false;
  const auto got = Lines(tessmor::testing::Slurp(got_path), got_crlf);
  const auto want = Lines(tessmor::testing::Slurp(want_path), want_crlf);
  EXPECT_TRUE(got_crlf);
  ASSERT_EQ(got.size(), want.size());
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(got[0], want[0]);
  EXPECT_EQ(got[1], want[1]);
  double worst = 0.0;
  for (std::size_t i = 2; i < got.size(); ++i) {
    long gd = 0, wd = 0;
    double g[3] = {0, 0, 0}, w[3] = {0, 0, 0};
    const int cols = static_cast<int>(atol.size());
    const char* fmt = cols == 1 ? "%ld \t %lf" : "%ld \t %lf\t %lf\t %lf";
    ASSERT_EQ(std::sscanf(got[i].c_str(), fmt, &gd, &g[0], &g[1], &g[2]), cols + 1) << got[i];
    ASSERT_EQ(std::sscanf(want[i].c_str(), fmt, &wd, &w[0], &w[1], &w[2]), cols + 1);
    // The exact layout: the row prints again the same way.
    char again[256];
    if (cols == 1) {
      std::snprintf(again, sizeof again, "%ld \t %g", gd, g[0]);
    } else {
      std::snprintf(again, sizeof again, "%ld \t %g\t %g\t %g", gd, g[0], g[1], g[2]);
    }
    EXPECT_EQ(got[i], again);
    EXPECT_EQ(gd, wd) << "row " << i;
    for (int c = 0; c < cols; ++c) {
      const double tol = atol[c] + 1e-5 * std::fabs(w[c]);
      EXPECT_NEAR(g[c], w[c], tol) << "row " << i << " column " << c;
      worst = std::max(worst, std::fabs(g[c] - w[c]) / tol);
    }
  }
  std::printf("  %-28s worst error %.3f of its tolerance\n", got_path.filename().c_str(), worst);
}

TEST(BatchReferenceCases, ReproduceTheirTables) {
  const fs::path root = fs::path(tessmor::testing::SourceDir()) / "testdata/reference-cases";
  QFile f(QString::fromStdString((root / "manifest.json").string()));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QJsonArray cases = QJsonDocument::fromJson(f.readAll()).object()["cases"].toArray();
  ASSERT_EQ(cases.size(), 10);
  for (const auto& v : cases) {
    const QJsonObject c = v.toObject();
    const std::string id = c["id"].toString().toStdString();
    SCOPED_TRACE(id);
    const fs::path input = root / c["input"].toString().toStdString();
    const fs::path dir = tessmor::testing::MakeTempDir();
    const fs::path copy = dir / input.filename();
    fs::copy_file(input, copy);

    std::vector<std::string> args;
    for (const auto& a : c["args"].toArray()) args.push_back(a.toString().toStdString());
    args.push_back(copy.string());
    BatchOptions options;
    std::string error;
    ASSERT_TRUE(ParseBatchOptions(args, options, error)) << error;
    tessmor::testing::FakePrompts prompts;
    prompts.set_default_yes(options.answer_yes);
    std::ostringstream err;
    const int status = RunBatch(options, err);

    if (c["expect"].toString() == "refused") {
      EXPECT_NE(status, 0);
      EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
      continue;
    }
    ASSERT_EQ(status, 0) << err.str();
    std::printf("%s\n", id.c_str());
    for (const auto& fv : c["files"].toArray()) {
      const QJsonObject file = fv.toObject();
      std::vector<double> atol;
      for (const auto& t : file["atol"].toArray()) atol.push_back(t.toDouble());
      const std::string name = file["name"].toString().toStdString();
      CompareTable(dir / name, root / id / "expected" / name, atol);
    }
  }
}

}  // namespace
