#pragma once

// Importing a tree that another program recorded (an ncdu export) as a new
// volume: the name checks and the save of cataloguing, without a scan.

#include <functional>
#include <string>

#include "catalog/NcduImport.h"
#include "catalog/UserPrompt.h"
#include "platform/Locale.h"
#include "store/CatalogTree.h"

namespace ardvel {

enum class ImportOutcome {
    Imported,  ///< read, saved and sorted
    Refused,   ///< a name check refused the name (its message was shown)
    Declined,  ///< No to the question whether to catalogue the source again
};

struct ImportResult {
    ImportOutcome Outcome = ImportOutcome::Refused;
    NodeId Volume = kNoNode;
    std::string VolumeName;
    std::string CatalogPath;
    NcduImportStats Stats;
};

/// The label an import records, as cataloguing the same folder would: the
/// last component of the top folder's path ("/" for the root).
std::string ImportLabel(const std::string& rootName);

/// Imports the ncdu export `file` into `tree` as a new volume named
/// `volumeName`, or when that is empty by the label. In order: reads the
/// file; checks the name as cataloguing does (EncodeNewVolumeName,
/// VolumeNameIsFree, CatalogFileNameIsFree, then IsAlreadyCatalogued of the
/// label, which asks kAlreadyCataloguedQuestion); adds the volume dated now
/// and reads the document into it; saves catalogFolder + stem + ".arv"
/// (header label and date, then the tree in document order) through a
/// temporary file; sorts the tree. A file that cannot be read, a document
/// with a fault ("FILE: line L, column C: message") or a failed save throw
/// CatalogError; a faulty document leaves no volume and no catalog file.
/// `treeChanging`, when given, runs once the checks have passed, just before
/// the tree changes: every question and refusal comes before it.
ImportResult ImportNcduFile(CatalogTree& tree, const std::string& catalogFolder, UserPrompt& prompt,
                            const std::string& file, const std::string& volumeName,
                            const Locale& locale = Locale::User(), const std::function<void()>& treeChanging = {});

/// The volume name an import of `file` proposes: its ImportLabel. Throws
/// CatalogError as ImportNcduFile does.
std::string ProposedImportName(const std::string& file);

}  // namespace ardvel
