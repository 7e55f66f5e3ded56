#pragma once

// The volume of the README's examples, which several command-line suites
// list, search and export.

#include <string>

#include "store/CatalogFile.h"
#include "store/CatalogTree.h"
#include "support/DateAt.h"

namespace ardvel::test {

struct MusicVolume {
    NodeId Volume;
    NodeId Rock;
};

/// "Music 2002" with Rock\, Rock\Live\, Rock\b.txt (1088 KB) and the MP3
/// file `mp3Name` (12 KB) by "Band" with the title text `title`.
inline MusicVolume AddMusic2002(CatalogTree& tree, const std::string& mp3Name, const std::string& title)
{
    const NodeId v = tree.AddVolume("Music 2002", At(2002, 5, 6, 7, 8, 10));
    const NodeId rock = tree.AddFolder(v, "Rock", At(2002, 1, 2));
    tree.AddFolder(rock, "Live", At(2002, 1, 3, 4, 5, 6));
    tree.AddFile(rock, "b.txt", 1088, At(2002, 2, 3, 14, 0, 0));
    const TMediaInfo media{"Band", title};
    tree.AddFile(rock, mp3Name, 12, At(2002, 2, 3), &media);
    return {v, rock};
}

/// Writes `volume` of `tree` as the catalog file `path` with the label.
inline void WriteCatalog(const std::string& path, const CatalogTree& tree, NodeId volume, const std::string& label)
{
    CatalogWriter writer(path);
    writer.WriteHeader(label, tree.Info(volume).Date);
    writer.WriteTree(tree, volume);
    writer.Commit();
}

}  // namespace ardvel::test
