#pragma once

// File > Export Volume... and File > Import...: a volume out as CSV, JSON
// or an ncdu export, and an ncdu export in as a new volume.

#include "cataloguing/CataloguingHost.h"
#include "platform/Locale.h"

namespace ardvel::gui {

class UserDialogs;

/// Texts of the two commands' dialogs.
inline constexpr const char* kExportTitle = "Export Volume";
inline constexpr const char* kExportFilters = "CSV (*.csv);;JSON (*.json);;ncdu export (*.json)";
inline constexpr const char* kExportNoVolume = "Select a volume or one of its folders to export.";
inline constexpr const char* kImportTitle = "Import";
inline constexpr const char* kImportFilter = "ncdu JSON export (*.json);;All files (*)";
inline constexpr const char* kImportNameLabel = "Volume name:";

/// Writes the volume of the selected node to the file the save dialog
/// names, in the form its filter says (the extension added when the name
/// has none). A failure is shown as "PATH: message".
void ExportSelectedVolume(CataloguingHost& host, UserDialogs& dialogs);

/// Asks for an ncdu export and the new volume's name (proposed: the last
/// component of the folder it recorded), then imports it under the checks
/// of cataloguing and opens the new volume. The engine's refusals and
/// questions come as message boxes before the tree changes; a faulty file
/// is shown as "FILE: line L, column C: message" and changes nothing.
void ImportVolume(CataloguingHost& host, UserDialogs& dialogs, const Locale& locale);

}  // namespace ardvel::gui
