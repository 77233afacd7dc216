// Timings of drawing charts: a synthetic chart of 2,000 items and the example profile's model
// layout drawn on a 1920 × 1080 image as the desktop window paints them, and the exports of the
// example as an enhanced metafile, a Windows metafile and a bitmap file.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BasinExample.h"
#include "chart/document/VexaDoc.h"
#include "chart/view/VexaView.h"
#include "platform/gdi/QtDC.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
// The resolution the desktop window paints at.
constexpr int kPixelsPerInch = 96;

/// Paints `view` on `image` as the desktop window's paint does: white, then the view's paint
/// through a QPainter device context.
void Paint(CVexaView& view, QImage& image) {
  QPainter painter(&image);
  painter.fillRect(0, 0, image.width(), image.height(), Qt::white);
  tessmor::QtDC dc(painter, kPixelsPerInch, kPixelsPerInch);
  view.OnPaint(dc);
}

/// A chart of 2,000 items on the default paper (world units are mm): 500 polylines of 500
/// vertices in the solid and dashed pen styles, 700 symbols of every kind, 400 texts and 400
/// filled rectangles with solid, hatched and hollow brushes.
struct SyntheticChart {
  CVexaDoc doc;
  CVexaView view{kWidth, kHeight, kPixelsPerInch};

  SyntheticChart() {
    doc.AddView(&view);
    view.OnInitialUpdate();
    view.NewChart();
    const int penStyles[] = {0, 1, 2, 3, 4, 5, 6};
    std::vector<float> xs(500), ys(500);
    for (int k = 0; k < 500; ++k) {
      view.SetPen(tessmor::RGB(k % 255, (k * 7) % 255, (k * 13) % 255), 0.2f + 0.1f * (k % 5), 1, 0,
                  0);
      view.SetPenStyle(penStyles[k % 7]);
      const float y0 = 10.0f + 0.5f * static_cast<float>(k);
      for (int i = 0; i < 500; ++i) {
        xs[i] = 5.0f + 0.4f * static_cast<float>(i);
        ys[i] = y0 + 8.0f * std::sin(0.05f * static_cast<float>(i + k));
      }
      view.DrawPolyline(xs.data(), ys.data(), 500);
    }
    view.SetPenStyle(0);
    view.SetPen(0, 0.2f, 1, 0, 0);
    for (int k = 0; k < 700; ++k) {
      view.SetFillStyle(tessmor::RGB((k * 3) % 255, 0, 255 - (k * 3) % 255), 999);
      view.SetSymbolSize(1.5f + 0.5f * (k % 4));
      view.MoveTo(8.0 + (k % 35) * 5.6, 12.0 + (k / 35) * 13.0);
      view.DrawSymbol(1 + k % 15);
    }
    for (int k = 0; k < 400; ++k) {
      view.SetTextSize(2.0f + (k % 4), 2.0f + (k % 4));
      view.SetTextAngle(static_cast<float>((k % 8) * 45));
      view.MoveTo(10.0 + (k % 20) * 9.5, 15.0 + (k / 20) * 13.0);
      view.WriteText("Label " + std::to_string(k));
    }
    view.SetTextAngle(0.0f);
    const int brushes[] = {999, 0, 1, 2, 3, 4, 5, 201};
    for (int k = 0; k < 400; ++k) {
      view.SetFillStyle(tessmor::RGB(255 - (k % 255), (k * 5) % 255, 80), brushes[k % 8]);
      const double x = 6.0 + (k % 20) * 10.0;
      const double y = 14.0 + (k / 20) * 13.5;
      view.FillRectangle(x, x + 7.0, y, y + 5.0);
    }
    view.EndLine();
    view.SetClientSize(kWidth, kHeight);
  }
};

void BM_RedrawChart2000Items(benchmark::State& state) {
  SyntheticChart chart;
  chart.view.SetZoomPercent(static_cast<int>(state.range(0)), false);
  chart.doc.SetDrawMode(CVexaDoc::kDrawScreen);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    Paint(chart.view, image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_RedrawChart2000Items)->Arg(25)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_RedrawBasinModel(benchmark::State& state) {
  BasinExample example(kWidth, kHeight);
  if (!example.Ready()) {
    state.SkipWithError("the example could not be analysed");
    return;
  }
  example.view->SetZoomPercent(100, false);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    Paint(*example.view, image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_RedrawBasinModel)->Unit(benchmark::kMillisecond);

/// Type 1 an enhanced metafile, 2 a Windows metafile, 3 a bitmap file, 4 a PNG at 300 dpi,
/// 5 an SVG page, 6 a PDF page.
void BM_ExportBasinModel(benchmark::State& state) {
  BasinExample example(kWidth, kHeight);
  if (!example.Ready()) {
    state.SkipWithError("the example could not be analysed");
    return;
  }
  const int type = static_cast<int>(state.range(0));
  const char* extension[] = {"", ".emf", ".wmf", ".bmp", ".png", ".svg", ".pdf"};
  const std::string path = (example.dir / (std::string("chart") + extension[type])).string();
  for (auto _ : state) {
    if (!example.view->WriteChartFile(path, type)) {
      state.SkipWithError("the chart was not written");
      return;
    }
  }
  state.SetLabel(extension[type] + 1);
}
BENCHMARK(BM_ExportBasinModel)->DenseRange(1, 6)->Unit(benchmark::kMillisecond);

}  // namespace
