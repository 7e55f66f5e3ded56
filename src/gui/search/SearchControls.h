#pragma once

// Small controls of the search panel: the spin edits, the option links and
// the find-file animation, and the conversions of the date pickers.

#include <QDateTime>
#include <QLabel>
#include <QSpinBox>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>

#include "store/DateTime.h"

class QTimer;

namespace ardvel::gui {

/// A spin edit whose value is its text read as a decimal integer (a text
/// that is not one counts as 0). With bounds, a number outside them is
/// pulled in when the arrows are used or the field loses focus, and until
/// then counts as typed.
class TSpinEdit final : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr, int step = 1);

    void SetBounds(std::int32_t minimum, std::int32_t maximum);
    std::int32_t Value() const;
    void SetValue(std::int32_t value);

    void stepBy(int steps) override;

protected:
    void focusOutEvent(QFocusEvent* event) override;
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    std::int32_t Clamped(std::int64_t value) const;

    std::optional<std::pair<std::int32_t, std::int32_t>> bounds_;
};

/// A line of text that acts as a link: a click emits Clicked.
class TLinkLabel final : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

/// The 16 by 16 find-file animation: a magnifier circling over a page while
/// a search runs, still otherwise.
class TFindFileAnimation final : public QWidget {
    Q_OBJECT
public:
    explicit TFindFileAnimation(QWidget* parent = nullptr);

    void Start();
    void Stop();
    bool Active() const noexcept { return active_; }
    int Frame() const noexcept { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* timer_;
    bool active_ = false;
    int frame_ = 0;
};

/// A picker's value as a date-time of the catalog, and back. Both are local
/// time; no time zone is applied.
TDateTime ToDateTime(const QDateTime& value);
QDateTime FromDateTime(TDateTime value);

/// The display format of a date picker for a strftime date format, such as
/// the locale's short date format ("%m/%d/%Y" gives "MM/dd/yyyy"). A format
/// with conversions that have no picker equivalent gives "yyyy-MM-dd".
QString PickerFormat(const std::string& strftimeFormat);

}  // namespace ardvel::gui
