#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtInput.h"
#include "platform/qt/QtMenus.h"
#include "platform/qt/QtSideWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include "core/Control.h"
#include "core/Events.h"
#include "core/Frame.h"
#include "core/Menus.h"
#include "core/ParameterCommands.h"
#include "imagery/Stars.h"
#include "io/Odometer.h"
#include "io/Pictures.h"
#include "io/Universe.h"
#include "render/Camera.h"
#include "sim/Bodies.h"
#include "sim/PushStage.h"
#include "windows/ObjectWindow.h"
#include "windows/StatsWindow.h"


// Paints the last presented frame and forwards input.
class PreviewWidget : public QWidget {
public:
    explicit PreviewWidget(QWidget* parent) : QWidget(parent) {
        setFocusPolicy(Qt::StrongFocus);
        setMinimumSize(50, 50);
    }
    QImage frame;
    QString fpsText;
    QRect fpsBox;
    QString recordingMark;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        if (!frame.isNull()) p.drawImage(0, 0, frame);
        if (!fpsText.isEmpty()) {
            p.setPen(Qt::white);
            p.drawText(fpsBox, Qt::AlignLeft | Qt::AlignVCenter, fpsText);
        }
        if (!recordingMark.isEmpty()) {
            p.setPen(QColor(255, 64, 64));
            p.drawText(rect().adjusted(0, 6, -10, 0), Qt::AlignRight | Qt::AlignTop, recordingMark);
        }
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->modifiers() & Qt::ControlModifier) return QWidget::keyPressEvent(e);  // menu shortcuts
        FillEvent(e->isAutoRepeat() ? kAutoKeyEvent : kKeyDownEvent, ClassicKeyMessage(e), e->modifiers());
        DoKeyEv();
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        if (e->isAutoRepeat()) return;
        FillEvent(kKeyUpEvent, ClassicKeyMessage(e), e->modifiers());
        DoKeyUpEv();
    }
    void mousePressEvent(QMouseEvent* e) override {
        FillEvent(kMouseDownEvent, 0, e->modifiers());
        DoMainWindowMouseDown();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        FillEvent(kMouseUpEvent, 0, e->modifiers());
        theEvent.where = Point{int16_t(e->position().y()), int16_t(e->position().x())};  // window coordinates
        DoMouseUpEv();
    }
    void wheelEvent(QWheelEvent* e) override {
        const QPoint steps = e->angleDelta() / 120;
        if (steps.y()) PreviewWindowWheelHit(steps.y(), 1);
        if (steps.x()) PreviewWindowWheelHit(steps.x(), 0);
    }

private:
    static void FillEvent(uint16_t what, uint32_t message, Qt::KeyboardModifiers m) {
        theEvent.what = what;
        theEvent.message = message;
        theEvent.when = TickCount();
        theEvent.modifiers = ClassicModifiers(m);
    }
};

QtMainWindow::QtMainWindow() : preview_(new PreviewWidget(this)) {
    setWindowTitle("Gravitas");
    setCentralWidget(preview_);
    setAcceptDrops(true);
    resize(1024, 700);
    BuildMenus();
    BuildSideWindows();
    connect(&frameTimer_, &QTimer::timeout, this, &QtMainWindow::RunOnePass);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &QtMainWindow::ApplicationStateChanged);
    frameTimer_.start(0);
}

QWidget* QtMainWindow::Preview() const { return preview_; }

QtMainWindow::~QtMainWindow() { DisposeMenus(); }

void QtMainWindow::MainWindowContentSize(int32_t& width, int32_t& height) {
    width = preview_->width();
    height = preview_->height();
}

void QtMainWindow::PresentToMainWindow(const PixelSurface& buffer, const Rect&) {
    if (!buffer.base) return;
    preview_->frame = QImage(reinterpret_cast<const uchar*>(buffer.base), buffer.width, buffer.height,
                             buffer.rowBytes, QImage::Format_RGB32);
    preview_->fpsText.clear();
    preview_->update();
}

void QtMainWindow::ShowRecordingMark(const std::string& text) {
    const QString mark = QString::fromStdString(text);
    if (mark == preview_->recordingMark) return;
    preview_->recordingMark = mark;
    preview_->update();
}

void QtMainWindow::DrawTextInMainWindow(const Rect& box, const std::string& text, RGBColor) {
    preview_->fpsText = QString::fromStdString(text);
    preview_->fpsBox = QRect(box.left, box.top, box.right - box.left, box.bottom - box.top);
}

Rect QtMainWindow::MainScreenRect() {
    const QRect r = QGuiApplication::primaryScreen()->availableGeometry();
    return Rect{int16_t(r.top()), int16_t(r.left()), int16_t(r.bottom() + 1), int16_t(r.right() + 1)};
}

Rect QtMainWindow::AllScreensRect() {
    QRect all(0, 0, 1, 1);
    for (QScreen* s : QGuiApplication::screens()) all |= s->geometry();
    return Rect{int16_t(all.top()), int16_t(all.left()), int16_t(all.bottom() + 1), int16_t(all.right() + 1)};
}

QWidget* QtMainWindow::WindowFor(int16_t windowId) {
    if (windowId == kMainWindowId) return this;
    auto it = sideWindows_.find(windowId);
    return it == sideWindows_.end() ? nullptr : it->second;
}

void QtMainWindow::MoveWindowTo(int16_t windowId, int16_t left, int16_t top) {
    QWidget* w = WindowFor(windowId);
    if (!w) return;
    // The layouts place content areas; Qt places frames.
    const QPoint content = windowId == kMainWindowId ? preview_->mapTo(this, QPoint(0, 0)) : QPoint(0, 0);
    const QPoint frameToContent = w->geometry().topLeft() - w->frameGeometry().topLeft() + content;
    w->move(QPoint(left, top) - frameToContent);
}

void QtMainWindow::SizeWindowContent(int16_t windowId, int16_t width, int16_t height) {
    QWidget* w = WindowFor(windowId);
    if (!w || width <= 0 || height <= 0) return;
    if (windowId == kMainWindowId) resize(width, height + (menuBar()->isVisible() ? menuBar()->height() : 0));
    else if (QtSideWindow* side = SideWindow(windowId)) side->SetContentSize(width, height);
}

Rect QtMainWindow::WindowContentRect(int16_t windowId) {
    QWidget* w = windowId == kMainWindowId ? preview_ : WindowFor(windowId);
    if (!w) return Rect{0, 0, 0, 0};
    const QPoint g = w->mapToGlobal(QPoint(0, 0));
    return Rect{int16_t(g.y()), int16_t(g.x()), int16_t(g.y() + w->height()), int16_t(g.x() + w->width())};
}

QtSideWindow* QtMainWindow::SideWindow(int16_t windowId) const {
    auto it = sideWindows_.find(windowId);
    return it == sideWindows_.end() ? nullptr : it->second;
}

void QtMainWindow::BuildSideWindows() {
    // Keys typed in a side window steer the scene as they do in the main window.
    auto keys = [this](QKeyEvent* e) { QCoreApplication::sendEvent(preview_, e); };
    SideWindowHandlers objects;
    objects.redraw = RedrawObjectWindow;
    objects.press = DoObjectWindowHit;
    objects.scroll = TrackObjectWindowScroll;
    objects.resized = UpdateObjectWindowVars;
    objects.keys = keys;
    sideWindows_[kObjectWindowId] =
        new QtSideWindow(SideWindowShape{"Objects", QSize(380, 196), true, true}, std::move(objects), this);
    SideWindowHandlers stats;
    stats.redraw = RedrawStatsWindow;
    stats.keys = keys;
    sideWindows_[kStatsWindowId] =
        new QtSideWindow(SideWindowShape{"Statistics", QSize(240, 250), false, false}, std::move(stats), this);
}

// The side windows come up with the main window, the statistics window behind the object window.
void QtMainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (sideWindowsShown_) return;
    sideWindowsShown_ = true;
    sideWindows_[kStatsWindowId]->show();
    sideWindows_[kObjectWindowId]->show();
}

PixelSurface QtMainWindow::WindowSurface(int16_t windowId) {
    if (QtSideWindow* w = SideWindow(windowId)) return w->Surface();
    return MainWindowServices::WindowSurface(windowId);
}

void QtMainWindow::PresentWindow(int16_t windowId) {
    if (QtSideWindow* w = SideWindow(windowId)) w->Present();
}

void QtMainWindow::InvalidateWindow(int16_t windowId) {
    if (QtSideWindow* w = SideWindow(windowId)) w->Invalidate();
}

void QtMainWindow::SetWindowScrollBar(int16_t windowId, int32_t value, int32_t maximum, int32_t pageStep) {
    if (QtSideWindow* w = SideWindow(windowId)) w->SetScrollBar(value, maximum, pageStep);
}

void QtMainWindow::BringWindowToFront(int16_t windowId) {
    if (QWidget* w = WindowFor(windowId)) {
        w->show();
        w->raise();
        w->activateWindow();
    }
}

void QtMainWindow::SetFullScreen(bool on) { on ? showFullScreen() : showNormal(); }

void QtMainWindow::RunOnePass() {
    // No frames while a dialog or sheet waits for the user.
    if (QApplication::activeModalWidget()) return;
    const QPoint mouse = QCursor::pos();
    theEvent.where = Point{int16_t(mouse.y()), int16_t(mouse.x())};
    theEvent.modifiers = ClassicModifiers(QGuiApplication::queryKeyboardModifiers());
    UpdateControlsFromModifiers();
    if (!staying) {
        close();
        return;
    }
    ShowMouseState(mouse);
    SetRunTimeViewingVariables();  // follows the window size; keeps the buffer when unchanged
    DoWork();
}

void QtMainWindow::ShowMouseState(const QPoint& mouse) {
    const uint16_t state = MouseCursorState();
    if (state != mMouseState) {
        static const Qt::CursorShape kShapes[5] = {Qt::ArrowCursor, Qt::UpArrowCursor, Qt::SizeVerCursor,
                                                   Qt::ClosedHandCursor, Qt::CrossCursor};
        preview_->setCursor(kShapes[state]);
        mMouseState = state;
    }
    // The full-screen layout hides the menu bar until the mouse visits the top strip.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int strip = std::max(menuBar()->sizeHint().height(), 8);
    const bool want = MenuBarWanted(mouse.y() >= screen.top() && mouse.y() < screen.top() + strip);
    if (menuBar()->isVisible() != want) menuBar()->setVisible(want);
}

void QtMainWindow::OpenDocument(const QString& path) {
    if (path.endsWith(".stars", Qt::CaseInsensitive)) {
        ReplaceStarListFromFile(path.toStdString());
        return;
    }
    if (!LoadAllSettingsFrom(path.toStdString())) SysBeep();
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    frameTimer_.stop();
    staying = 0;
    event->accept();
}

void QtMainWindow::changeEvent(QEvent* event) { QMainWindow::changeEvent(event); }

// Suspend and resume follow the whole application, so moving between our own
// windows and dialogs does not count as going to the background.
void QtMainWindow::ApplicationStateChanged(Qt::ApplicationState state) {
    const bool active = state == Qt::ApplicationActive;
    if (active == applicationActive_) return;
    applicationActive_ = active;
    theEvent.what = kOSEvent;
    theEvent.message = (1u << 24) | (active ? 1u : 0u);
    DoOSEv();
}

void QtMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void QtMainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) OpenDocument(url.toLocalFile());
}

void QtMainWindow::BuildMenus() {
    SetupMenus();
    menus_ = new QtMenuBar(menuBar(), this);
}
