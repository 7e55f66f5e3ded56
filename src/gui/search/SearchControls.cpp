#include "search/SearchControls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

namespace ardvel::gui {

// ---------------------------------------------------------------------------
// Spin edit

TSpinEdit::TSpinEdit(QWidget* parent, int step) : QSpinBox(parent)
{
    // Any 32-bit number may be typed; the bounds, if any, apply later.
    setRange(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    setSingleStep(step);
    setValue(0);
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        if (bounds_ && Value() != Clamped(Value())) SetValue(Clamped(Value()));
    });
}

void TSpinEdit::SetBounds(std::int32_t minimum, std::int32_t maximum)
{
    bounds_ = std::make_pair(minimum, maximum);
}

std::int32_t TSpinEdit::Value() const
{
    bool ok = false;
    const int value = cleanText().toInt(&ok, 10);
    return ok ? value : 0;
}

void TSpinEdit::SetValue(std::int32_t value)
{
    setValue(value);
}

std::int32_t TSpinEdit::Clamped(std::int64_t value) const
{
    std::int64_t low = std::numeric_limits<std::int32_t>::min();
    std::int64_t high = std::numeric_limits<std::int32_t>::max();
    if (bounds_) {
        low = bounds_->first;
        high = bounds_->second;
    }
    return static_cast<std::int32_t>(std::clamp(value, low, high));
}

void TSpinEdit::stepBy(int steps)
{
    SetValue(Clamped(std::int64_t{Value()} + std::int64_t{steps} * singleStep()));
    selectAll();
}

void TSpinEdit::focusOutEvent(QFocusEvent* event)
{
    if (bounds_ && Value() != Clamped(Value())) SetValue(Clamped(Value()));
    QSpinBox::focusOutEvent(event);
}

// ---------------------------------------------------------------------------
// Link

TLinkLabel::TLinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    // The palette's link colour is readable on light and dark windows alike.
    setForegroundRole(QPalette::Link);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void TLinkLabel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        emit Clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

// ---------------------------------------------------------------------------
// Find-file animation

TFindFileAnimation::TFindFileAnimation(QWidget* parent) : QWidget(parent), timer_(new QTimer(this))
{
    setFixedSize(16, 16);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % 8;
        update();
    });
}

void TFindFileAnimation::Start()
{
    active_ = true;
    timer_->start();
}

void TFindFileAnimation::Stop()
{
    active_ = false;
    timer_->stop();
    frame_ = 0;
    update();
}

void TFindFileAnimation::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // A page with a few lines of text.
    p.setPen(QColor(128, 128, 128));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 0.5, 10, 13));
    p.setPen(QColor(160, 160, 200));
    for (int y = 3; y <= 10; y += 2) p.drawLine(QPointF(3.5, y + 0.5), QPointF(9.5, y + 0.5));
    // The magnifier goes round over it.
    const double angle = frame_ * 3.14159265358979 / 4;
    const QPointF centre(8.5 + 2.5 * std::cos(angle), 8.5 + 2.5 * std::sin(angle));
    // The magnifier passes over the window's background: drawn like text.
    p.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
    p.setBrush(QColor(200, 230, 255, 180));
    p.drawEllipse(centre, 3.2, 3.2);
    p.drawLine(centre + QPointF(2.3, 2.3), centre + QPointF(5.0, 5.0));
}

// ---------------------------------------------------------------------------
// Date pickers

TDateTime ToDateTime(const QDateTime& value)
{
    const QDate d = value.date();
    const QTime t = value.time();
    DateTimeFields f;
    f.Year = d.year();
    f.Month = d.month();
    f.Day = d.day();
    f.Hour = t.hour();
    f.Minute = t.minute();
    f.Second = t.second();
    f.Millisecond = t.msec();
    return EncodeDateTime(f);
}

QDateTime FromDateTime(TDateTime value)
{
    const DateTimeFields f = DecodeDateTime(value);
    return QDateTime(QDate(f.Year, f.Month, f.Day), QTime(f.Hour, f.Minute, f.Second, f.Millisecond));
}

namespace {

/// The date picker's field for one strftime conversion, or none when the
/// picker cannot show it.
QString PickerField(char conversion)
{
    switch (conversion) {
        case 'd':
            return QStringLiteral("dd");
        case 'e':
            return QStringLiteral("d");
        case 'm':
            return QStringLiteral("MM");
        case 'y':
            return QStringLiteral("yy");
        case 'Y':
            return QStringLiteral("yyyy");
        case 'b':
        case 'h':
            return QStringLiteral("MMM");
        case 'B':
            return QStringLiteral("MMMM");
        case 'a':
            return QStringLiteral("ddd");
        case 'A':
            return QStringLiteral("dddd");
        case 'D':
            return QStringLiteral("MM/dd/yy");
        case 'F':
            return QStringLiteral("yyyy-MM-dd");
        default:
            return {};
    }
}

}  // namespace

QString PickerFormat(const std::string& strftimeFormat)
{
    static const QString kFallback = QStringLiteral("yyyy-MM-dd");
    QString result;
    QString literal;
    const auto flushLiteral = [&] {
        if (literal.isEmpty()) return;
        // Letters would be read as fields: quote the whole run.
        result +=
            QLatin1Char('\'') + QString(literal).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
        literal.clear();
    };
    for (std::size_t i = 0; i < strftimeFormat.size(); ++i) {
        const char c = strftimeFormat[i];
        if (c != '%') {
            literal += QLatin1Char(c);
            continue;
        }
        if (++i == strftimeFormat.size()) return kFallback;
        char conversion = strftimeFormat[i];
        // Flags and the E and O modifiers change nothing a picker can show.
        while ((conversion == '-' || conversion == '_' || conversion == '0' || conversion == '^' || conversion == '#' ||
                conversion == 'E' || conversion == 'O') &&
               i + 1 < strftimeFormat.size())
            conversion = strftimeFormat[++i];
        if (conversion == '%') {
            literal += QLatin1Char('%');
            continue;
        }
        const QString field = PickerField(conversion);
        if (field.isEmpty()) return kFallback;
        flushLiteral();
        result += field;
    }
    flushLiteral();
    return result.isEmpty() ? kFallback : result;
}

}  // namespace ardvel::gui
