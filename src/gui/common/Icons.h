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

/// The picture of an image index: the desktop theme's icon where the theme
/// has a fitting standard one, otherwise our own, drawn at whatever size
/// and device pixel ratio it is shown at. Needs a running QGuiApplication.
QIcon ListImage(int index);

/// The tree's picture of a node image: a folder shows open while selected.
QIcon TreeImage(int index);

/// The picture of the view-style button (25 by 16 units): a drop-down arrow
/// drawn in the button text colour of the palette.
QIcon ViewButtonImage();

/// Our own drawing of the application icon, the installed SVG's picture.
QIcon ApplicationImage();

/// The application icon: the desktop theme's icon of the application id
/// (installed with the program), otherwise ApplicationImage().
QIcon ApplicationIcon();

}  // namespace ardvel::gui
