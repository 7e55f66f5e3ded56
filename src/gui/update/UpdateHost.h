#pragma once

#include "common/VolumeHost.h"

namespace ardvel::gui {

/// What the update and compare dialogs need of the main window, beyond the
/// tree.
class UpdateHost : public VolumeHost {
public:
    /// The contents of `volume` were replaced; nodes that left the tree
    /// must leave the list, the history and the open node, and what shows
    /// the volume is filled again.
    virtual void VolumeContentsReplaced(NodeId volume) = 0;

protected:
    ~UpdateHost() = default;
};

}  // namespace ardvel::gui
