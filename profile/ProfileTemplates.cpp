#include "profile/ProfileTemplates.h"

#include <filesystem>

#include "platform/docview/Application.h"
#include "platform/ui/FileDialogs.h"
#include "profile/ProfilePoint.h"
#include "profile/TessmorDoc.h"

namespace {
const int kTypesInOrder[] = {kFileTypeProject, kFileTypeGravmag, kFileTypeGravAscii, kFileType2DQN,
                             kFileTypeCsv};
}  // namespace

const char* ProfileDocString(int type) {
  switch (type) {
    case kFileTypeProject:
      return "\nTessmor\nTESSMOR Document\nTESSMOR File (*.gpr)\n.gpr\nTessmorFileType\nTESSMOR "
             "File Type";
    case kFileTypeGravmag:
      return "\nTessmor\nGRAVMAG Document\nGRAVMAG File (*.dat)\n.dat\nGravMagFileType\nGRAVMAG "
             "File Type";
    case kFileTypeGravAscii:
      return "\nTessmor\nGRAVASCII Document\nGRAVASCII File (*.txt)\n.txt\nGravASCIIFileType\n"
             "GRAVASCII File Type";
    case kFileType2DQN:
      return "\nTessmor\n2DQN Document\n2DQN File (*.g)\n.g\n2DQNType\n2DQN File Type";
    case kFileTypeCsv:
      return "\nTessmor\nCSV Document\nCSV Profile (*.csv)\n.csv\nCsvProfileType\nCSV Profile "
             "File Type";
    default:
      return "";
  }
}

std::string ProfileExtension(int type) {
  switch (type) {
    case kFileTypeProject:
      return ".gpr";
    case kFileTypeGravmag:
      return ".dat";
    case kFileTypeGravAscii:
      return ".txt";
    case kFileType2DQN:
      return ".g";
    case kFileTypeCsv:
      return ".csv";
    default:
      return "";
  }
}

void AddProfileTemplates(tessmor::Application& app, tessmor::DocTemplate::ViewFactory make_view) {
  for (int type : kTypesInOrder) {
    app.AddDocTemplate(std::make_unique<tessmor::DocTemplate>(
        type, ProfileDocString(type), [] { return std::make_unique<CTessmorDoc>(); }, make_view));
  }
}

bool PromptSaveFileName(std::string& path, int& type, int offered_type, bool replace) {
  tessmor::FileDialogRequest request;
  request.save = true;
  request.title = replace ? "Save As" : "Save a Copy As";
  request.flags = tessmor::kFileDialogHideReadOnly | tessmor::kFileDialogPathMustExist |
                  tessmor::kFileDialogOverwritePrompt;
  std::vector<int> offered;
  if (offered_type == 0) {
    offered.assign(std::begin(kTypesInOrder), std::end(kTypesInOrder));
  } else {
    offered.push_back(offered_type);
  }
  for (int t : offered) {
    tessmor::DocTemplate probe(t, ProfileDocString(t), {});
    request.filters.emplace_back(probe.GetDocString(tessmor::DocTemplate::kFilterName),
                                 ProfileExtension(t));
  }
  const std::filesystem::path proposed(path);
  request.initial_dir = proposed.parent_path().string();
  std::string base = proposed.filename().string();
  if (!base.empty()) {
    // One template offered: its extension; all of them: none.
    const std::string ext = offered.size() == 1 ? ProfileExtension(offered[0]) : std::string();
    base = std::filesystem::path(base).replace_extension(ext).string();
  }
  request.file_name = base;

  tessmor::FileDialogResult result = tessmor::GetFileDialogs().Show(request);
  if (!result.ok || result.path.empty()) return false;
  if (offered.size() == 1) {
    type = offered[0];
  } else if (result.filter_index >= 0 && result.filter_index < static_cast<int>(offered.size())) {
    type = offered[result.filter_index];
  } else {
    // "All files": the type follows the extension typed, else the project type.
    type = kFileTypeProject;
    const std::string ext = std::filesystem::path(result.path).extension().string();
    for (int t : offered) {
      if (ProfileExtension(t) == ext) type = t;
    }
  }
  path = std::filesystem::path(result.path).replace_extension(ProfileExtension(type)).string();
  return true;
}
