#pragma once

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <memory>

#include "GuiTestSupport.h"
#include "common/StyledListView.h"
#include "platform/Settings.h"
#include "search/SearchPanel.h"
#include "store/NodePath.h"
#include "window/ArdvelForm.h"
#include "window/CatalogTreeModel.h"
#include "window/FolderListModel.h"
#include "window/PathBox.h"

namespace ardvel::gui {

/// The tests' way to the window's widgets, which the window keeps to itself.
class ArdvelFormTestAccess {
public:
    static FormWidgets& Widgets(TArdvelForm& form) { return form.w_; }
};

}  // namespace ardvel::gui

namespace ardvel::gui::test {

/// A window over a private catalog folder and settings file, with every
/// dialog answered by a script and no real URL ever opened.
class ArdvelFormFixture : public ::testing::Test {
protected:
    /// Three volumes: Backup (empty), Music 2002 (Rock/Live, Jazz, files)
    /// and Photos (one file).
    void WriteStandardCatalogs()
    {
        WriteCatalog(home.CatalogFolder() + "Photos.arv",
                     [](CatalogTree& t, NodeId v) { t.AddFile(v, "beach.jpg", 300, 44000.25); });
        WriteCatalog(home.CatalogFolder() + "Music 2002.arv", [](CatalogTree& t, NodeId v) {
            t.AddFile(v, "readme.txt", 1, 44000.0);
            const NodeId rock = t.AddFolder(v, "Rock", 44001.0);
            t.AddFile(rock, "one.mp3", 1200, 44001.5, true, "Band", " - One");
            const NodeId live = t.AddFolder(rock, "Live", 44002.0);
            t.AddFile(live, "two.mp3", 1202, 44002.5, true, "Band", " - Two");
            t.AddFolder(v, "Jazz", 44003.0);
        });
        WriteCatalog(home.CatalogFolder() + "Backup.arv", nullptr);
    }

    TArdvelForm& Start()
    {
        form = std::make_unique<TArdvelForm>(English(), dialogs);
        form->SetUrlOpener([this](const QUrl& url) {
            OpenedUrls.push_back(url);
            return OpenResult;
        });
        return *form;
    }

    FormWidgets& W() { return ArdvelFormTestAccess::Widgets(*form); }
    QComboBox* LookIn() { return form->SearchPanel().LookIn; }

    NodeId Node(const std::string& path) const { return ResolveNodePath(form->Tree(), path, English()); }
    /// A click on a tree node.
    void Click(const std::string& path)
    {
        const NodeId node = path == "My Catalogs" ? CatalogTree::kRoot : Node(path);
        ASSERT_NE(node, kNoNode) << path;
        form->SelectNode(node);
        form->CatalogClick();
    }
    std::vector<std::string> ListNames() const
    {
        std::vector<std::string> names;
        for (int row = 0; row < form->ListModel().rowCount(); ++row)
            names.push_back(form->ListModel().Text(row, 0).toStdString());
        return names;
    }
    int ListRow(const std::string& name) const
    {
        const auto names = ListNames();
        const auto it = std::find(names.begin(), names.end(), name);
        return it == names.end() ? -1 : static_cast<int>(it - names.begin());
    }
    std::vector<std::string> Volumes() const
    {
        std::vector<std::string> names;
        for (NodeId v : form->Tree().Children(CatalogTree::kRoot)) names.emplace_back(form->Tree().Text(v));
        return names;
    }
    static std::vector<std::string> Entries(const QComboBox* box)
    {
        std::vector<std::string> entries;
        for (int i = 0; i < box->count(); ++i) entries.push_back(box->itemText(i).toStdString());
        return entries;
    }
    static std::vector<std::string> MenuTexts(const QMenu* menu)
    {
        std::vector<std::string> texts;
        for (const QAction* a : menu->actions()) texts.push_back(a->text().toStdString());
        return texts;
    }
    std::string SelectedPath() const
    {
        const NodeId node = form->SelectedNode();
        return node == kNoNode ? std::string("(none)") : GetNodePath(form->Tree(), node);
    }
    std::string OpenPath() const
    {
        const NodeId node = form->OpenNode();
        return node == kNoNode ? std::string("(none)") : GetNodePath(form->Tree(), node);
    }
    bool CatalogExists(const std::string& name) const { return std::filesystem::exists(home.CatalogFolder() + name); }

    TestHome home;
    ScriptedDialogs dialogs;
    std::unique_ptr<TArdvelForm> form;
    std::vector<QUrl> OpenedUrls;
    bool OpenResult = true;
    ModelComplaints complaints;
};

using Names = std::vector<std::string>;

}  // namespace ardvel::gui::test
