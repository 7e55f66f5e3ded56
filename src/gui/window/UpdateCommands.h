#pragma once

#include "platform/Locale.h"
#include "update/UpdateForm.h"

namespace ardvel::gui {

class TArdvelForm;
class UserDialogs;

/// Adds "&Update Volume..." to `form`'s File menu and to its tree's context
/// menu (the update dialog of the selected node's volume), and a Tools menu
/// with "&Compare Volumes..." (the compare dialog, the selected volume
/// proposed as the old one).
void InstallUpdateCommands(TArdvelForm& form, UserDialogs& dialogs, const Locale& locale,
                           UpdateFormOptions options = {});

}  // namespace ardvel::gui
