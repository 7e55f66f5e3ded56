#pragma once

// What the window benchmarks share: catalogs of generated volumes, and
// dialogs that answer nothing.

#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "common/UserDialogs.h"
#include "store/CatalogFile.h"

namespace ardvel::bench {

using NameMaker = std::function<std::string(std::mt19937&)>;

/// `volumes` catalogs "Volume N.arv" in `folder`, each of `perVolume` files
/// in folders of 200, named by `folderName` and `fileName`.
inline void WriteGeneratedCatalogs(const std::string& folder, std::size_t volumes, std::size_t perVolume, unsigned seed,
                                   const NameMaker& folderName, const NameMaker& fileName)
{
    std::filesystem::create_directories(folder);
    std::mt19937 rng(seed);
    for (std::size_t v = 0; v < volumes; ++v) {
        CatalogTree tree;
        const NodeId volume = tree.AddVolume("v", 45000.5);
        NodeId current = volume;
        for (std::size_t i = 0; i < perVolume; ++i) {
            if (i % 200 == 0) current = tree.AddFolder(volume, folderName(rng), 44000.0);
            const std::string name = fileName(rng);
            tree.AddFile(current, name, static_cast<std::int32_t>(rng() % 100000), 40000 + rng() % 8000);
        }
        CatalogWriter writer(folder + "Volume " + std::to_string(v) + ".arv");
        writer.WriteHeader("Label", 45000.5);
        writer.WriteTree(tree, volume);
        writer.Commit();
    }
}

/// Answers nothing: the benchmarks ask no questions.
class SilentDialogs final : public gui::UserDialogs {
public:
    void ShowError(const QString& text, const QString&) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool Confirm(const QString&) override { return false; }
    QString ChooseFolder(const QString&) override { return {}; }
    QString SaveFileName(const QString&, const QString&, const QString&, const QString&) override { return {}; }
    int RunDialog(QDialog&) override { return 0; }
};

}  // namespace ardvel::bench
