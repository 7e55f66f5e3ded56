// Feeds arbitrary bytes to the catalog reader as one catalog file, then
// writes what it read through the real writer, commit included, reads that
// back and compares: whatever a catalog file holds, a saved catalog reads
// back as the tree it was saved from.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "store/CatalogError.h"
#include "store/CatalogFile.h"

namespace {

using namespace ardvel;

/// The tree below `node` as text, in pre-order.
std::string Describe(const CatalogTree& tree, NodeId node)
{
    std::string out;
    std::vector<NodeId> pending{node};
    while (!pending.empty()) {
        const NodeId id = pending.back();
        pending.pop_back();
        out += "D" + std::to_string(tree.Level(id)) + ":" + StoredName(tree.Text(id)) + "\n";
        const FileList files = tree.Files(id);
        for (const TDetails& d : files) {
            out += "F:" + StoredName(files.Store().Name(d)) + ":" + std::to_string(d.SizeKB) + "\n";
            if (files.Store().HasMedia(d))
                out += "M:" + StoredName(files.Store().Artist(d)) + "|" + StoredName(files.Store().Title(d)) + "\n";
        }
        const auto children = tree.Children(id);
        for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(*it);
    }
    return out;
}

struct Folder {
    std::string Path;
    Folder()
    {
        char pattern[] = "/tmp/ardvel-catalog-fuzz-XXXXXX";
        if (::mkdtemp(pattern)) Path = pattern;
    }
    ~Folder()
    {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const Folder folder;
    if (folder.Path.empty()) return 0;
    const std::string input = folder.Path + "/in.arv", output = folder.Path + "/out.arv";
    FILE* f = std::fopen(input.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    CatalogTree tree;
    NodeId volume = kNoNode;
    try {
        CatalogReader reader(input);
        const TFolderInfo info = reader.ReadHeader();
        volume = tree.AddVolume("v", info.Date);
        reader.ReadTree(tree, volume);
    } catch (const CatalogError&) {
    }
    if (volume == kNoNode) return 0;

    std::filesystem::remove(output);
    {
        CatalogWriter writer(output);
        writer.WriteHeader("label", tree.Info(volume).Date);
        writer.WriteTree(tree, volume);
        writer.Commit(SaveFile::Publish::NoReplace);
    }
    CatalogTree again;
    CatalogReader reader(output);  // a saved catalog must read without error
    const NodeId back = again.AddVolume("v", reader.ReadHeader().Date);
    reader.ReadTree(again, back);
    if (Describe(tree, volume) != Describe(again, back)) std::abort();
    return 0;
}
