#pragma once

// The example profile analysed as the demo analyses it, for the benchmarks that draw, export
// or read its chart.

#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "platform/docview/Application.h"
#include "platform/ui/DialogModel.h"
#include "platform/ui/DialogRunner.h"
#include "platform/ui/Prompts.h"
#include "profile/TessmorDoc.h"
#include "profileview/TessmorView.h"

/// The example profile analysed as the demo does (spline interpolation at 0.5 km, linear
/// background 1 km 4.06 mGal to 51 km 7.06 mGal, continuation 2 km up, derivative of the
/// anomaly, basin model of −250 kg/m³ from 0 km), left in the model layout on a client area
/// of the given size in pixels. Its result tables go to a temporary folder, removed with it.
class BasinExample {
 public:
  BasinExample(int width, int height);
  ~BasinExample();
  BasinExample(const BasinExample&) = delete;
  BasinExample& operator=(const BasinExample&) = delete;

  /// True when the analysis ran and the model is shown.
  bool Ready() const { return view != nullptr && view->m_bShowModel == 1; }

  /// The temporary folder.
  std::filesystem::path dir;
  CTessmorDoc* doc = nullptr;
  CTessmorView* view = nullptr;

 private:
  /// Fills each dialog as the demo's options do and presses OK.
  class Dialogs : public tessmor::DialogRunner {
   public:
    std::map<int, std::function<void(tessmor::DialogModel&)>> typing;
    bool DoModal(tessmor::DialogModel& dialog, int resource_id) override;
  };

  Dialogs m_dialogs;
  tessmor::StderrPrompts m_prompts{true};
  tessmor::DialogRunner* m_pOldRunner = nullptr;
  tessmor::Prompts* m_pOldPrompts = nullptr;
  std::unique_ptr<tessmor::Application> m_app;
};
