#pragma once

#include "common/VolumeHost.h"

namespace ardvel::gui {

/// What the cataloguing dialog needs of the window that opened it, beyond
/// the tree: the selection it restores after adding a volume, and the lists
/// it rebuilds.
class CataloguingHost : public VolumeHost {
public:
    virtual NodeId SelectedNode() const = 0;
    virtual void SelectNode(NodeId node) = 0;
    /// Opens the selected node in the folder list.
    virtual void OpenSelected() = 0;
    /// Removes a volume that could not be saved from the tree and every
    /// view of it (its catalog file is left as it is).
    virtual void RemoveVolume(NodeId volume) = 0;
    /// The volumes changed: the lists that name them are rebuilt and the
    /// status bar counts them again.
    virtual void VolumesChanged() = 0;

protected:
    ~CataloguingHost() = default;
};

}  // namespace ardvel::gui
