#include "window/CatalogFolderWatch.h"

#include <sys/stat.h>

#include <QFileSystemWatcher>
#include <QTimer>
#include <set>

#include "store/LoadCatalogs.h"

namespace ardvel::gui {

namespace {

constexpr std::string_view kSaveFilePrefix = ".ardvel-save-";

}  // namespace

CatalogFolderWatch::CatalogFolderWatch(std::function<void()> changed, QObject* parent)
    : QObject(parent), watcher_(new QFileSystemWatcher(this)), pause_(new QTimer(this))
{
    pause_->setSingleShot(true);
    pause_->setInterval(kPauseMs);
    connect(pause_, &QTimer::timeout, this, std::move(changed));
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { pause_->start(); });
}

void CatalogFolderWatch::Watch(const std::string& folder)
{
    if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
    pause_->stop();
    folder_ = folder;
    AddFolder();
    known_ = Scan();
}

void CatalogFolderWatch::Accept()
{
    AddFolder();
    known_ = Scan();
}

void CatalogFolderWatch::Postpone()
{
    pause_->start();
}

void CatalogFolderWatch::AddFolder()
{
    if (folder_.empty() || !watcher_->directories().isEmpty()) return;
    struct stat s {};
    if (::stat(folder_.c_str(), &s) == 0 && S_ISDIR(s.st_mode)) watcher_->addPath(QString::fromStdString(folder_));
}

std::map<std::string, CatalogStamp> CatalogFolderWatch::Scan() const
{
    std::map<std::string, CatalogStamp> files;
    for (const std::string& name : ListCatalogEntries(folder_)) {
        if (name.starts_with(kSaveFilePrefix)) continue;
        struct stat s {};
        if (::stat((folder_ + name).c_str(), &s) != 0 || !S_ISREG(s.st_mode)) continue;
        files[name] = CatalogStamp{static_cast<std::uint64_t>(s.st_ino), static_cast<std::int64_t>(s.st_size),
                                   static_cast<std::int64_t>(s.st_ctim.tv_sec) * 1000000000 + s.st_ctim.tv_nsec};
    }
    return files;
}

CatalogFolderChanges CatalogFolderWatch::Compare(const CatalogTree& tree)
{
    AddFolder();
    const std::map<std::string, CatalogStamp> now = Scan();
    CatalogFolderChanges changes;
    std::set<std::string> owned;
    for (NodeId volume : tree.Children(CatalogTree::kRoot)) {
        const std::string& name = tree.CatalogFileName(volume);
        if (name.empty()) continue;
        owned.insert(name);
        const auto file = now.find(name);
        const auto known = known_.find(name);
        if (file == now.end())
            changes.Removed.push_back(tree.Handle(volume));
        else if (known != known_.end() && !(known->second == file->second))
            changes.Changed.push_back(tree.Handle(volume));
    }
    // A file no volume came from is new, unless it was known as it is: one
    // that could not be read is reported once, not at every change.
    for (const auto& [name, stamp] : now) {
        const auto known = known_.find(name);
        if (!owned.contains(name) && (known == known_.end() || !(known->second == stamp)))
            changes.Added.push_back(name);
    }
    known_ = now;
    return changes;
}

}  // namespace ardvel::gui
