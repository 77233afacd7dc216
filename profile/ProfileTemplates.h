#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/docview/DocTemplate.h"

namespace tessmor {
class Application;
class View;
}  // namespace tessmor

/// The document string of the template of a profile file type ("" for an unknown type).
const char* ProfileDocString(int type);
/// The file extension of a profile file type, with its point ("" for an unknown type).
std::string ProfileExtension(int type);

/// Adds the profile templates to `app`, in the order project, GRAVMAG, GRAVASCII, 2DQN, CSV;
/// each makes a CTessmorDoc and, when `make_view` is given, its view.
void AddProfileTemplates(tessmor::Application& app,
                         tessmor::DocTemplate::ViewFactory make_view = {});

/// The save dialog with the filters of the given templates (all of them when `type` is 0,
/// else the one template of `type`): the chosen path with its extension replaced by the
/// chosen type's, and that type. False when cancelled.
bool PromptSaveFileName(std::string& path, int& type, int offered_type, bool replace);
