#pragma once

#include <string>

class QWidget;

#include "store/CatalogTree.h"

namespace ardvel::gui {

/// What the cataloguing dialog needs of the window that opened it: the
/// catalog tree it adds volumes to, the catalog folder it saves them in,
/// and the tree view, which it freezes while the tree changes and restores
/// after.
class CataloguingHost {
public:
    /// The window the dialog belongs to.
    virtual QWidget* DialogParent() = 0;
    virtual CatalogTree& Tree() = 0;
    virtual const std::string& CatalogFolder() const noexcept = 0;

    /// The tree view stops reading the tree until EndTreeChange.
    virtual void BeginTreeChange() = 0;
    virtual void EndTreeChange() = 0;
    virtual bool IsExpanded(NodeId node) const = 0;
    virtual void Expand(NodeId node) = 0;
    virtual NodeId SelectedNode() const = 0;
    virtual void SelectNode(NodeId node) = 0;
    /// Opens the selected node in the folder list.
    virtual void OpenSelected() = 0;
    /// The volumes changed: the lists that name them are rebuilt and the
    /// status bar counts them again.
    virtual void VolumesChanged() = 0;
    /// Removes a volume that could not be saved from the tree and from
    /// every view of it.
    virtual void RemoveVolume(NodeId volume) = 0;

protected:
    ~CataloguingHost() = default;
};

}  // namespace ardvel::gui
