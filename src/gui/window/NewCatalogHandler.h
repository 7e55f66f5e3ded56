#pragma once

#include "catalog/CatalogRun.h"
#include "platform/Locale.h"

namespace ardvel::gui {

class TArdvelForm;
class UserDialogs;

/// Makes `form`'s "&New Catalog..." run the cataloguing dialog over the
/// window (see RunCatalogDialog).
void InstallCreateNewHandler(TArdvelForm& form, UserDialogs& dialogs, const Locale& locale,
                             CatalogRunOptions options = {});

}  // namespace ardvel::gui
