#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtDevicePixels.h"
#include "platform/qt/QtInput.h"
#include "platform/qt/QtMenus.h"
#include "platform/qt/QtSideWindow.h"
#include "platform/qt/QtText.h"

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
#include <algorithm>
#include <cstring>
#include <functional>

#include "core/Control.h"
#include "core/Events.h"
#include "core/Frame.h"
#include "core/Menus.h"
#include "core/ParameterCommands.h"
#include "core/PushBudget.h"
#include "imagery/Stars.h"
#include "io/Odometer.h"
#include "io/Pictures.h"
#include "io/Universe.h"
#include "render/Camera.h"
#include "shell/BetweenRuns.h"
#include "shell/Document.h"
#include "shell/FramePacing.h"
#include "sim/Bodies.h"
#include "sim/PushStage.h"
#include "windows/BodyEditorCommands.h"
#include "windows/ObjectWindow.h"
#include "windows/StatsWindow.h"


// Paints the last presented frame and forwards input.
class PreviewWidget : public QWidget {
public:
    explicit PreviewWidget(QWidget* parent) : QWidget(parent) {
        setFocusPolicy(Qt::StrongFocus);
        setMinimumSize(50, 50);
        setAttribute(Qt::WA_OpaquePaintEvent);  // paintEvent covers every pixel; no erasing first
    }
    QImage frame;  // a copy of the render buffer: the buffer may be freed before the next paint
    QString fpsText;
    QRect fpsBox;
    QString recordingMark;
    QString note;
    std::function<void()> afterCommandKey;  // the menus follow what a shortcut changed

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        // Black only where the frame does not reach (a resize not yet drawn): the strips
        // right of it and below it.
        QSize covered(0, 0);
        if (!frame.isNull()) {
            p.drawImage(0, 0, frame);
            covered = frame.deviceIndependentSize().toSize();
        }
        if (covered.width() < width()) p.fillRect(covered.width(), 0, width() - covered.width(), height(), Qt::black);
        if (covered.height() < height())
            p.fillRect(0, covered.height(), covered.width(), height() - covered.height(), Qt::black);
        if (!fpsText.isEmpty()) {
            p.setPen(Qt::white);
            p.drawText(fpsBox, Qt::AlignLeft | Qt::AlignVCenter, fpsText);
        }
        if (!recordingMark.isEmpty()) {
            p.setPen(QColor(255, 64, 64));
            p.drawText(rect().adjusted(0, 6, -10, 0), Qt::AlignRight | Qt::AlignTop, recordingMark);
        }
        if (!note.isEmpty()) {
            const QRect box(8, height() - 28, width() - 16, 20);
            p.setPen(Qt::yellow);
            p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, note);
        }
    }
    bool event(QEvent* e) override {
        // Keypad keys steer also with Ctrl: keep them from the shortcut map.
        if (e->type() == QEvent::ShortcutOverride && IsSteeringKeypadKey(static_cast<QKeyEvent*>(e))) {
            e->accept();
            return true;
        }
        return QWidget::event(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        // Ctrl keys that reach us were not taken by a shortcut (no active window,
        // e.g. without a window manager): the logic looks them up in the menus.
        FillEvent(e->isAutoRepeat() ? kAutoKeyEvent : kKeyDownEvent, ClassicKeyMessage(e), e->modifiers());
        DoKeyEv();
        if ((e->modifiers() & Qt::ControlModifier) && afterCommandKey) afterCommandKey();
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        if (e->isAutoRepeat()) return;
        FillEvent(kKeyUpEvent, ClassicKeyMessage(e), e->modifiers());
        DoKeyUpEv();
    }
    void mousePressEvent(QMouseEvent* e) override {
        FillEvent(kMouseDownEvent, 0, e->modifiers());
        DoMainWindowMouseDown(DragOfButton(e->button()));
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        mousePressEvent(e);  // the second press still steers while held
        if (e->button() != Qt::LeftButton) return;
        DoMainWindowDoubleClick(Point{int16_t(e->position().y()), int16_t(e->position().x())});
        if (afterCommandKey) afterCommandKey();  // the camera menus show the new choice
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        FillEvent(kMouseUpEvent, 0, e->modifiers());
        theEvent.where = Point{int16_t(e->position().y()), int16_t(e->position().x())};  // window coordinates
        DoMouseUpEv();
    }
    void wheelEvent(QWheelEvent* e) override {
        QPoint angle = e->angleDelta();
        // Devices that report only pixels (touchpads on some systems): 15 pixels to a notch.
        if (angle.isNull()) angle = e->pixelDelta() * 8;
        // X11 turns Alt+wheel into a horizontal wheel; with Alt the vertical wheel zooms.
        if ((e->modifiers() & Qt::AltModifier) && angle.y() == 0) angle = angle.transposed();
        const uint16_t modifiers = ClassicModifiers(e->modifiers());
        if (angle.y()) PreviewWindowWheelTurn(angle.y(), 1, modifiers);
        if (angle.x()) PreviewWindowWheelTurn(angle.x(), 0, modifiers);
        e->accept();
    }

private:
    static MouseDrag DragOfButton(Qt::MouseButton button) {
        if (button == Qt::RightButton) return MouseDrag::Zoom;
        if (button == Qt::MiddleButton) return MouseDrag::Pan;
        return MouseDrag::Turn;
    }
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
    preview_->setFocus();  // keys steer the scene from the start
    pushBudget.frameSeconds = kInteractivePushSeconds;  // the window answers however many pushes a frame asks for
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

// The render buffer is as many device pixels as the view covers, so it is shown unscaled.
void QtMainWindow::MainWindowContentSize(int32_t& width, int32_t& height) {
    const QSize device = DevicePixelSize(preview_);
    width = device.width();
    height = device.height();
}

double QtMainWindow::MainWindowPixelRatio() { return preview_->devicePixelRatioF(); }

void QtMainWindow::PresentToMainWindow(const PixelSurface& buffer, const Rect&) {
    if (!buffer.base || buffer.width <= 0 || buffer.height <= 0) return;
    // Copied, not wrapped: a layout change frees the buffer while a paint is still queued.
    QImage& frame = preview_->frame;
    if (frame.width() != buffer.width || frame.height() != buffer.height || frame.format() != QImage::Format_RGB32)
        frame = QImage(buffer.width, buffer.height, QImage::Format_RGB32);  // only when the size changes
    frame.setDevicePixelRatio(preview_->devicePixelRatioF());  // one buffer pixel to one screen pixel
    const auto* from = reinterpret_cast<const uchar*>(buffer.base);
    for (int y = 0; y < buffer.height; ++y)
        std::memcpy(frame.scanLine(y), from + size_t(y) * size_t(buffer.rowBytes), size_t(buffer.width) * 4);
    preview_->fpsText.clear();
    preview_->update();
}

void QtMainWindow::ShowRecordingMark(const std::string& text) {
    const QString mark = QString::fromStdString(text);
    if (mark == preview_->recordingMark) return;
    preview_->recordingMark = mark;
    preview_->update();
}

void QtMainWindow::ShowNoteInMainWindow(const std::string& text) {
    preview_->note = PlatformText(text);
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

std::vector<Rect> QtMainWindow::ScreenRects() {
    std::vector<Rect> screens;
    QList<QScreen*> all = QGuiApplication::screens();
    std::stable_partition(all.begin(), all.end(), [](QScreen* s) { return s == QGuiApplication::primaryScreen(); });
    for (QScreen* s : all) {
        const QRect r = s->availableGeometry();
        screens.push_back(Rect{int16_t(r.top()), int16_t(r.left()), int16_t(r.bottom() + 1), int16_t(r.right() + 1)});
    }
    return screens;
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
        new QtSideWindow(SideWindowShape{"Statistics", QSize(240, 424), false, false}, std::move(stats), this);
}

// The side windows come up with the main window, the statistics window behind the object window.
void QtMainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    pacer_.FollowScreenOf(this);
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
    ++passesTried_;
    // No frames while a dialog or sheet waits for the user, and no spinning either:
    // the timer only looks in now and then until the dialog is gone.
    if (QApplication::activeModalWidget()) {
        if (frameTimer_.isActive() && frameTimer_.interval() != kModalPollMs) frameTimer_.start(kModalPollMs);
        return;
    }
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
    pacer_.FrameStarts();
    DoWork();
    pacer_.FrameEnded();
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

void QtMainWindow::OpenDocument(const QString& path) { OpenDocumentFile(path.toStdString()); }

void QtMainWindow::ShowDocumentTitle(const std::string& name, bool modified) {
    setWindowTitle(PlatformText(name) + "[*] \u2014 Gravitas");
    setWindowModified(modified);
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    // Quit, the close box and the end of the session all come here: unsaved changes are asked about once.
    if (!AskToSaveChanges()) {
        staying = 1;
        event->ignore();
        return;
    }
    frameTimer_.stop();
    staying = 0;
    RememberAtQuit();
    event->accept();
}

void QtMainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) FollowBackgroundState();
}

void QtMainWindow::FollowBackgroundState() {
    const bool background = !applicationActive_ || isMinimized();
    if (background == framePacing.inBackground) return;
    pacer_.SetInBackground(background);  // back in front: the next frame at once
}

// Suspend and resume follow the whole application, so moving between our own
// windows and dialogs does not count as going to the background.
void QtMainWindow::ApplicationStateChanged(Qt::ApplicationState state) {
    const bool active = state == Qt::ApplicationActive;
    if (active == applicationActive_) return;
    applicationActive_ = active;
    FollowBackgroundState();
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
    menus_ = new QtMenuBar(menuBar(), this, preview_);
    preview_->afterCommandKey = [this] { menus_->Sync(); };
}
