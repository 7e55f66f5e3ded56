#pragma once

// The checks a new volume's name goes through before anything is scanned,
// in the order the cataloguing applies them.

#include <string>
#include <string_view>

#include "catalog/UserPrompt.h"
#include "platform/Locale.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// Refusal of a name that a volume has already (in any letter case).
inline constexpr const char* kVolumeNameTaken =
    "There is a volume with the same name.\r\n    Please choose another one!";
/// The question asked when the source's label is found in a catalog file.
inline constexpr const char* kAlreadyCataloguedQuestion =
    "This folder has already been cataloged.\n\r   Do you want to make a new volume?";

/// True when no volume of `tree` is named `name`, letter case ignored for
/// every script; otherwise shows kVolumeNameTaken and returns false. Also
/// what renaming a volume checks (the volume being renamed included).
bool VolumeNameIsFree(const CatalogTree& tree, std::string_view name, UserPrompt& prompt,
                      const Locale& locale = Locale::User());

/// True when the catalog file name `stem` + ".arv" is not in use: no volume
/// of `tree` was loaded from or saved to it and nothing of that name lies in
/// `catalogFolder`. Otherwise shows kVolumeNameTaken (the other volume, or
/// the file left there, would be overwritten) and returns false.
bool CatalogFileNameIsFree(const CatalogTree& tree, const std::string& catalogFolder, std::string_view stem,
                           UserPrompt& prompt);

/// True when the header label of a catalog file of `catalogFolder` (only
/// names ending exactly in ".arv") equals `label` exactly. The label comes
/// back from the file without trailing blanks and control characters, so a
/// `label` that has them never matches. A catalog file that cannot be read
/// (empty, damaged, unreadable) is passed over.
bool IsAlreadyCatalogued(const std::string& catalogFolder, std::string_view label);

}  // namespace ardvel
