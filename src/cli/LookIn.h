#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/CliCommon.h"
#include "platform/Locale.h"
#include "search/SearchWalk.h"
#include "store/CatalogTree.h"

namespace ardvel::cli {

/// Loads the catalog folder; failures go to `err` as "PATH: message".
/// False when any catalog failed to load.
bool LoadForCommand(const CliContext& context, CatalogTree& tree, std::ostream& err);

/// The Look-in entry of --in: "All", a volume name (ignoring case), or a
/// node path; `Text` as reports name it.
struct LookIn {
    SearchScope Scope;
    std::string Text;
};

/// The scope `in` names, or none when it names no place (the command then
/// says "Path not found!").
std::optional<LookIn> ResolveLookIn(const CatalogTree& tree, const std::string& in, const Locale& locale);

}  // namespace ardvel::cli
