#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "store/CatalogTree.h"

class QFileSystemWatcher;
class QTimer;

namespace ardvel::gui {

/// Tells a catalog file rewritten in place of another: every save writes a
/// new file and renames it over the old one.
struct CatalogStamp {
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ChangedNs = 0;
    bool operator==(const CatalogStamp&) const = default;
};

/// What other programs did to the catalog folder since it was last looked at.
struct CatalogFolderChanges {
    std::vector<std::string> Added;   ///< new catalog files, that no volume was loaded from
    std::vector<NodeHandle> Removed;  ///< volumes whose catalog file has gone
    std::vector<NodeHandle> Changed;  ///< volumes whose catalog file was written anew
    bool Empty() const noexcept { return Added.empty() && Removed.empty() && Changed.empty(); }
};

/// Watches the catalog folder and reports, once it has been quiet for a
/// short pause, that something in it changed. Compare then says what, by
/// the volumes of the tree and the files as they were last seen; the files
/// are taken as known from then on, so a change is reported once. The
/// window's own saves are taken as known (Accept) and never read back.
class CatalogFolderWatch final : public QObject {
    Q_OBJECT
public:
    /// How long the folder must be quiet before `changed` runs: a program
    /// writing several catalogs is read once.
    static constexpr int kPauseMs = 300;

    CatalogFolderWatch(std::function<void()> changed, QObject* parent = nullptr);

    /// Watches `folder` (ending in "/"), its files as they are now known.
    void Watch(const std::string& folder);
    /// The files as they are now are known: the window wrote them.
    void Accept();
    /// Runs `changed` again after the pause (the window was busy).
    void Postpone();
    /// The changes since the files were last known, by the volumes of
    /// `tree`; the files as they are now are known from then on. A volume
    /// not saved yet (no catalog file) is left alone.
    CatalogFolderChanges Compare(const CatalogTree& tree);

    const std::string& Folder() const noexcept { return folder_; }

private:
    /// The catalog files of the folder ("*.arv", save files left out).
    std::map<std::string, CatalogStamp> Scan() const;
    /// Watches the folder when it exists (it may be made later).
    void AddFolder();

    QFileSystemWatcher* watcher_;
    QTimer* pause_;
    std::string folder_;
    std::map<std::string, CatalogStamp> known_;
};

}  // namespace ardvel::gui
