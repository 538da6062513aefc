#include "platform/qt/QtSideWindow.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>

#include "platform/qt/QtInput.h"

#include "core/Events.h"

namespace {
constexpr int kScrollBarWidth = 16;
constexpr int kSizeBoxHeight = 15;  // the bar stops above the size-box corner
constexpr int kMinimumRowsHeight = 31;
constexpr qint64 kActivationPressMs = 150;  // a press this soon after activation is the activating press
}  // namespace

QtSideWindow::QtSideWindow(const SideWindowShape& shape, SideWindowHandlers handlers, QWidget* parent)
    : QWidget(parent, Qt::Tool), shape_(shape), handlers_(std::move(handlers)) {
    setWindowTitle(shape.title);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::StrongFocus);
    if (shape.scrollBar) {
        scrollBar_ = new QScrollBar(Qt::Vertical, this);
        scrollBar_->setRange(0, 0);
        scrollBar_->setSingleStep(1);
        scrollBar_->setFocusPolicy(Qt::NoFocus);
        connect(scrollBar_, &QScrollBar::actionTriggered, this, &QtSideWindow::ScrollAction);
    }
    SetContentSize(shape.content.width(), shape.content.height());
    image_ = QImage(size(), QImage::Format_RGB32);
    image_.fill(Qt::black);
    PlaceScrollBar();
}

void QtSideWindow::SetContentSize(int width, int height) {
    if (width <= 0 || height <= 0) return;
    if (shape_.resizable) {
        // Only the height follows the user; the width stays as the layout set it.
        setFixedWidth(width);
        setMinimumHeight(kMinimumRowsHeight);
        setMaximumHeight(32000);
        resize(width, SnappedHeight(height));
    } else {
        setFixedSize(width, height);
    }
}

PixelSurface QtSideWindow::Surface() {
    return PixelSurface{reinterpret_cast<uint32_t*>(image_.bits()), int32_t(image_.bytesPerLine()), image_.width(),
                        image_.height()};
}

void QtSideWindow::Present() {
    if (!redrawing_) update();  // a redraw inside a paint is shown by that paint
}

void QtSideWindow::Invalidate() {
    if (redrawing_) return;  // the content is being drawn right now
    invalid_ = true;
    update();
}

void QtSideWindow::SetScrollBar(int32_t value, int32_t maximum, int32_t pageStep) {
    if (!scrollBar_) return;
    // Setting the control is no user action: nothing may come back to the logic.
    const QSignalBlocker quiet(scrollBar_);
    scrollBar_->setRange(0, std::max(maximum, 0));
    scrollBar_->setPageStep(std::max(pageStep, 1));
    scrollBar_->setValue(value);
}

void QtSideWindow::ScrollAction(int action) {
    if (!handlers_.scroll) return;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub: handlers_.scroll(ScrollPart::UpArrow, 0); break;
        case QAbstractSlider::SliderSingleStepAdd: handlers_.scroll(ScrollPart::DownArrow, 0); break;
        case QAbstractSlider::SliderPageStepSub: handlers_.scroll(ScrollPart::PageUp, 0); break;
        case QAbstractSlider::SliderPageStepAdd: handlers_.scroll(ScrollPart::PageDown, 0); break;
        case QAbstractSlider::SliderMove: handlers_.scroll(ScrollPart::Thumb, scrollBar_->sliderPosition()); break;
        case QAbstractSlider::SliderToMinimum: handlers_.scroll(ScrollPart::Thumb, scrollBar_->minimum()); break;
        case QAbstractSlider::SliderToMaximum: handlers_.scroll(ScrollPart::Thumb, scrollBar_->maximum()); break;
        default: break;
    }
}

void QtSideWindow::PlaceScrollBar() {
    if (scrollBar_)
        scrollBar_->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth,
                                std::max(height() - kSizeBoxHeight, 0));
}

bool QtSideWindow::event(QEvent* e) {
    // Keypad keys steer the scene also with Ctrl; they are no layout shortcuts.
    if (e->type() == QEvent::ShortcutOverride && handlers_.keys && IsSteeringKeypadKey(static_cast<QKeyEvent*>(e))) {
        e->accept();
        return true;
    }
    return QWidget::event(e);
}

void QtSideWindow::paintEvent(QPaintEvent*) {
    if (invalid_ && !redrawing_ && handlers_.redraw) {
        invalid_ = false;
        redrawing_ = true;
        handlers_.redraw();
        redrawing_ = false;
    }
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void QtSideWindow::resizeEvent(QResizeEvent*) {
    if (shape_.resizable && height() != SnappedHeight(height())) {
        resize(width(), SnappedHeight(height()));  // a second resize event follows with the settled size
        return;
    }
    if (image_.size() != size()) {
        image_ = QImage(size(), QImage::Format_RGB32);
        image_.fill(Qt::black);
    }
    PlaceScrollBar();
    Invalidate();
    if (handlers_.resized) handlers_.resized();
}

void QtSideWindow::mousePressEvent(QMouseEvent* e) {
    // The right button is Alt-click without the Alt key, which window managers often take.
    if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
    const bool broughtToFront = !isActiveWindow() || (activation_.isValid() && activation_.elapsed() < kActivationPressMs);
    if (!isActiveWindow()) {
        raise();
        activateWindow();
    }
    if (handlers_.press)
        handlers_.press(Point{int16_t(e->position().y()), int16_t(e->position().x())},
                        ClassicModifiers(e->modifiers()) | (e->button() == Qt::RightButton ? kOptionKeyModifier : 0),
                        TickCount(), broughtToFront ? 1 : 0);
}

void QtSideWindow::keyPressEvent(QKeyEvent* e) {
    if (handlers_.keys) handlers_.keys(e);
    else QWidget::keyPressEvent(e);
}

void QtSideWindow::keyReleaseEvent(QKeyEvent* e) {
    if (handlers_.keys) handlers_.keys(e);
    else QWidget::keyReleaseEvent(e);
}

void QtSideWindow::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) activation_.start();
    QWidget::changeEvent(e);
}
