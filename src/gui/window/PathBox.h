#pragma once

#include <QComboBox>

namespace ardvel::gui {

/// The entry that search mode puts first into the path box.
inline constexpr const char* kSearchResultsEntry = "Search Results";

/// The image of a path-box entry, chosen by its text: "Search Results" the
/// search image, a text ending in ":\" a volume, a text holding "\"
/// elsewhere a folder, anything else the root.
int PathBoxImageIndex(const QString& text);

/// The path box: a drop-down list of the most recently shown node paths,
/// newest first, each at most once, at most 11 of them (plus "Search
/// Results" while search mode is on). `ClosedUp` follows every closing of
/// the drop-down, once the chosen entry (if any) is current.
class PathBox final : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kMaxPaths = 11;

    explicit PathBox(QWidget* parent = nullptr);

    /// Records the path of the folder just shown: a new path goes first
    /// (the last entry leaving when there are more than 10), a known one
    /// stays where it is; either way it becomes the selected entry.
    void RecordPath(const QString& path);
    /// Puts "Search Results" first and selects it.
    void InsertSearchResults();
    /// Removes "Search Results" when it is the first entry.
    void RemoveSearchResults();
    QStringList Entries() const;

    void hidePopup() override;

signals:
    void ClosedUp();

private:
    void InsertEntry(int index, const QString& text);
};

}  // namespace ardvel::gui
