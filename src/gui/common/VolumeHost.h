#pragma once

#include <string>

class QWidget;

#include "store/CatalogTree.h"

namespace ardvel::gui {

/// What every dialog that changes volumes needs of the main window: the
/// window to belong to, the catalog tree and its folder, and the tree view,
/// which stops reading the tree while it changes.
class VolumeHost {
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

protected:
    ~VolumeHost() = default;
};

}  // namespace ardvel::gui
