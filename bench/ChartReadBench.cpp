// Timings of reading chart files: the example profile's model layout as the batch tool writes
// it with --export, and a chart holding nothing but one full arc 1 m across.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "bench/BasinExample.h"
#include "chart/document/VexaDoc.h"
#include "chart/items/VexaArc.h"
#include "platform/io/Archive.h"

namespace {

/// Writes the chart of `doc` to `path` as the batch tool's chart export does.
bool WriteChart(CVexaDoc& doc, const std::string& path) {
  try {
    tessmor::Archive ar = tessmor::Archive::ForStore(path);
    doc.SerializeChart(ar);
    ar.Commit();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

/// Opens `path` and reads it into a fresh chart document each iteration, as opening the file
/// does; the file's size and the styles read are reported as counters.
void ReadChart(benchmark::State& state, const std::string& path) {
  int styles = 0;
  for (auto _ : state) {
    CVexaDoc doc;
    tessmor::Archive ar = tessmor::Archive::OpenForLoad(path);
    doc.SerializeChart(ar);
    styles =
        doc.m_lineManager.GetSize() + doc.m_fillManager.GetSize() + doc.m_charManager.GetSize();
    benchmark::DoNotOptimize(styles);
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.counters["styles"] = styles;
}

void BM_ReadBasinModelChart(benchmark::State& state) {
  BasinExample example(1920, 1080);
  const std::string path = (example.dir / "basin-model.vxc").string();
  if (!example.Ready() || !WriteChart(*example.doc, path)) {
    state.SkipWithError("the example's chart could not be written");
    return;
  }
  ReadChart(state, path);
}
BENCHMARK(BM_ReadBasinModelChart)->Unit(benchmark::kMillisecond);

void BM_ReadOneMetreArcChart(benchmark::State& state) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("tessmor_arc_bench_" + std::to_string(::getpid()) + ".vxc");
  const std::string path = file.string();
  CVexaDoc doc;
  doc.m_strTitle = "Arc";
  // A full circle 1,000 mm across centred on the paper.
  doc.m_lineManager.AddArc(std::make_unique<CVEXAArc>(
      nullptr, ARCREC{-500, -500, 500, 500, 150, 100, 0, 36000, 0}, 0, CStroke::kItemCategory));
  if (!WriteChart(doc, path)) {
    state.SkipWithError("the arc's chart could not be written");
    return;
  }
  ReadChart(state, path);
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
}
BENCHMARK(BM_ReadOneMetreArcChart)->Unit(benchmark::kMillisecond);

}  // namespace
