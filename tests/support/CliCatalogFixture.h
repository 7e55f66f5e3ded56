#pragma once

// A catalog folder for the ardvel-cli end-to-end tests, and running the
// command over it.

#include <string>

#include "store/CatalogFile.h"
#include "store/CatalogTree.h"
#include "store/VolumeName.h"
#include "support/TempDir.h"

namespace ardvel::test {

class CliCatalogFolder {
public:
    /// Writes `volume` of `tree` to the folder, named as the window names it.
    void Save(const CatalogTree& tree, NodeId volume)
    {
        CatalogWriter writer(dir.Folder() + EncodeVolumeName(tree.Text(volume)).Stem + ".arv");
        writer.WriteHeader("D:\\", tree.Info(volume).Date);
        writer.WriteTree(tree, volume);
        writer.Commit();
    }

    struct Result {
        int Status;
        std::string Out, Err;
    };
    /// ardvel-cli --catalog-folder FOLDER ARGUMENTS, in en_US.UTF-8;
    /// `arguments` as the shell reads them.
    Result RunCli(const std::string& arguments)
    {
        const std::string errFile = dir.File("stderr.txt");
        const std::string command = "LC_ALL=en_US.UTF-8 " + ShellQuote(ARDVEL_CLI_PATH) + " --catalog-folder " +
                                    ShellQuote(dir.Folder()) + " " + arguments + " 2>" + ShellQuote(errFile);
        const CommandResult r = RunCommand(command);
        return {r.Status, r.Out, ReadBytes(errFile)};
    }

    TempDir dir;
};

}  // namespace ardvel::test
