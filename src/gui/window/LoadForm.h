#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace ardvel::gui {

/// The splash window shown while the catalog folder loads: a picture, a
/// progress bar and the "L   O   A   D   I   N   G" label whose dots count
/// the files read. It is repainted explicitly after every change, because
/// no events are handled while loading.
class TLoadForm final : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kLoadingText = "L   O   A   D   I   N   G";

    /// Placed centred over `over` (the main window) when given.
    explicit TLoadForm(QWidget* over = nullptr);

    void SetMaximum(int maximum);
    /// The progress position (never above the maximum).
    void SetPosition(int position);
    int Position() const;
    int Maximum() const;
    /// The label after `filesRead` files: 0, 1, 2, 3, 0, 1 ... dots.
    void SetFilesRead(std::size_t filesRead);
    QString LoadingText() const;

private:
    QLabel* Image1;
    QProgressBar* Gauge1;
    QLabel* Loading;
};

}  // namespace ardvel::gui
