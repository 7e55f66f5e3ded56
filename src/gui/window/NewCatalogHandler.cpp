#include "window/NewCatalogHandler.h"

#include "cataloguing/SelDirForm.h"
#include "window/ArdvelForm.h"

namespace ardvel::gui {

void InstallCreateNewHandler(TArdvelForm& form, UserDialogs& dialogs, const Locale& locale, CatalogRunOptions options)
{
    form.SetCreateNewHandler(
        [&form, &dialogs, &locale, options = std::move(options)] { RunCatalogDialog(form, dialogs, locale, options); });
}

}  // namespace ardvel::gui
