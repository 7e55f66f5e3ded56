// Feeds arbitrary bytes to the catalog reader as one catalog file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "store/CatalogError.h"
#include "store/CatalogFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/ardvel-catalog-fuzz-" + std::to_string(::getpid()) + ".arv";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    ardvel::CatalogTree tree;
    try {
        ardvel::CatalogReader reader(path);
        const ardvel::TFolderInfo info = reader.ReadHeader();
        const ardvel::NodeId volume = tree.AddVolume("v", info.Date);
        reader.ReadTree(tree, volume);
    } catch (const ardvel::CatalogError&) {
    }
    // Whatever was read must be walkable and writable.
    for (ardvel::NodeId v : tree.Children(ardvel::CatalogTree::kRoot)) {
        std::int64_t total = 0;
        ardvel::AddFolderSize(tree, v, total);
        try {
            ardvel::CatalogWriter writer(path + ".out");
            writer.WriteHeader("", tree.Info(v).Date);
            writer.WriteTree(tree, v);
        } catch (const ardvel::CatalogError&) {
        }
    }
    return 0;
}
