#pragma once

#include <string>

class QWidget;

#include "store/CatalogTree.h"

namespace ardvel::gui {

/// What the update and compare dialogs need of the main window.
class UpdateHost {
public:
    virtual QWidget* DialogParent() = 0;
    virtual CatalogTree& Tree() = 0;
    virtual const std::string& CatalogFolder() const noexcept = 0;
    /// The tree view stops reading the tree until EndTreeChange.
    virtual void BeginTreeChange() = 0;
    virtual void EndTreeChange() = 0;
    virtual bool IsExpanded(NodeId node) const = 0;
    virtual void Expand(NodeId node) = 0;
    /// The contents of `volume` were replaced; nodes that left the tree
    /// must leave the list, the history and the open node, and what shows
    /// the volume is filled again.
    virtual void VolumeContentsReplaced(NodeId volume) = 0;

protected:
    ~UpdateHost() = default;
};

}  // namespace ardvel::gui
