#pragma once

#include <QIcon>

namespace ardvel::gui {

/// Indexes of the image lists shared by the tree, the lists and the boxes.
enum ImageIndex : int {
    kRootImage = 0,
    kVolumeImage = 1,
    kFolderImage = 2,
    kOpenFolderImage = 3,
    kFileImage = 4,
    kSearchResultsImage = 5,
};

/// The picture of an image index at 16 by 16 and 32 by 32 pixels, drawn
/// once and kept. Needs a running QGuiApplication.
QIcon ListImage(int index);

/// The tree's picture of a node image: a folder shows open while selected.
QIcon TreeImage(int index);

/// The picture of the view-style button (25 by 16 pixels).
QIcon ViewButtonImage();

}  // namespace ardvel::gui
