// A side window (object list, statistics): the logic draws its whole content
// into the window's own image, which the window shows. The object window adds
// a vertical scroll bar whose moves the logic decides.
#pragma once
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <functional>

#include "platform/Platform.h"
#include "windows/ObjectWindow.h"

class QKeyEvent;
class QScrollBar;

struct SideWindowHandlers {
    std::function<void()> redraw;  // draws the content and presents it
    std::function<void(Point local, uint16_t modifiers, uint32_t when, int16_t broughtToFront)> press;
    std::function<void(ScrollPart part, int32_t thumbValue)> scroll;
    std::function<void()> resized;          // after the content size settled
    std::function<void(QKeyEvent*)> keys;   // key presses and releases go to the main window
};

struct SideWindowShape {
    QString title;
    QSize content;
    bool resizable = false;  // vertically, in whole rows
    bool scrollBar = false;
};

class QtSideWindow : public QWidget {
public:
    QtSideWindow(const SideWindowShape& shape, SideWindowHandlers handlers, QWidget* parent = nullptr);

    PixelSurface Surface();  // the content image, the size of the window
    void Present();          // shows what was drawn
    void Invalidate();       // asks for a redraw through the handler, once, later
    void SetScrollBar(int32_t value, int32_t maximum, int32_t pageStep);
    void SetContentSize(int width, int height);
    QScrollBar* ScrollBar() const { return scrollBar_; }
    const QImage& Image() const { return image_; }

    // Object-window heights are whole rows of 15 plus the one-pixel line.
    static int SnappedHeight(int height) { return ((height + 7) / 15) * 15 + 1; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ScrollAction(int action);
    void PlaceScrollBar();

    SideWindowShape shape_;
    SideWindowHandlers handlers_;
    QImage image_;
    QScrollBar* scrollBar_ = nullptr;
    bool invalid_ = false;
    bool redrawing_ = false;
    QElapsedTimer activation_;  // since the window last became active
};
