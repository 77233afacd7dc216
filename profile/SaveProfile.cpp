// The save procedure of the profile document: the format warning, Save, Save As.
#include <filesystem>
#include <fstream>

#include "platform/ui/Prompts.h"
#include "profile/ProfileTemplates.h"
#include "profile/TessmorDoc.h"

const char* SaveFormatName(int type) {
  switch (type) {
    case kFileTypeGravmag:
      return " GRAVMAG Format\n";
    case kFileTypeGravAscii:
      return " Gravity ASCII Format\n";
    case kFileType2DQN:
      return " 2DQN Equally Spaced Format\n";
    case kFileTypeCsv:
      return " CSV Profile Format\n";
    default:
      return "";
  }
}

int CTessmorDoc::ConfirmSaveFormat(int type) {
  if (type == -1) type = TypeFromTemplate();
  if (type == kFileTypeProject) return 1;
  const std::string text = std::string(" Unable to Save all the data details \n in a file with ") +
                           SaveFormatName(type) + " Are you sure you want to save in this format ?";
  const int answer =
      tessmor::GetPrompts().MessageBox(text, tessmor::kPromptYesNo | tessmor::kPromptIconQuestion);
  return answer == tessmor::kAnswerYes ? 1 : 0;
}

bool CTessmorDoc::OnFileSave() {
  if (!ConfirmSaveFormat(m_nSaveType >= 1 ? m_nSaveType : -1)) return false;
  const std::string& path = GetPathName();
  bool writable = false;
  if (!path.empty()) {
    std::fstream probe(path, std::ios::in | std::ios::out | std::ios::binary);
    writable = probe.is_open();
  }
  return DoSaveProfile(writable ? path : std::string(), true);
}

bool CTessmorDoc::OnFileSaveAs() {
  m_nSaveType = 0;
  return DoSaveProfile(std::string(), true);
}

bool CTessmorDoc::DoSaveProfile(const std::string& given_path, bool replace) {
  std::string path = given_path;
  if (path.empty()) {
    const int offered = m_nSaveType == -1 ? TypeFromTemplate() : m_nSaveType;
    std::string proposed = GetPathName();
    if (proposed.empty() && replace) {
      proposed = GetTitle();
      const std::size_t bad = proposed.find_first_of(" #%;/\\");
      if (bad != std::string::npos) proposed.resize(bad);
      if (proposed.size() > 8) proposed.resize(8);
      if (offered != 0) proposed += ProfileExtension(offered);
    }
    int chosen = offered;
    path = proposed;
    if (!PromptSaveFileName(path, chosen, offered, replace)) return false;
    if (m_nSaveType == 0) m_nSaveType = chosen;
    if (!ConfirmSaveFormat(m_nSaveType >= 1 ? m_nSaveType : -1)) return false;
  }
  // The file is written beside its old version and renamed into place only when complete, so
  // a failed save leaves whatever was there before untouched and nothing to clean up.
  // A document that was opened on a chart file holds that chart and no profile: it is
  // written back as a chart, so that saving never replaces the chart with an empty profile.
  const bool asChart = m_points.empty() && !m_strChartPath.empty() && !IsChartEmpty();
  const int wasChartMode = m_bChartMode;
  if (asChart) m_bChartMode = 1;
  const bool saved = OnSaveDocument(path);
  m_bChartMode = wasChartMode;
  if (!saved) return false;
  if (replace) SetPathName(path);
  return true;
}
