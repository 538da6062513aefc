// The main window: shows the render buffer, runs one frame per pass of the event loop,
// and turns Qt input into the event records the logic handles.
#pragma once
#include <QMainWindow>
#include <QTimer>
#include <map>

#include "platform/Platform.h"
#include "platform/qt/QtFramePacer.h"

class PreviewWidget;
class QtSideWindow;
class QtMenuBar;

class QtMainWindow : public QMainWindow, public MainWindowServices {
    Q_OBJECT
public:
    QtMainWindow();
    ~QtMainWindow() override;

    // MainWindowServices
    void MainWindowContentSize(int32_t& width, int32_t& height) override;
    double MainWindowPixelRatio() override;
    void PresentToMainWindow(const PixelSurface& buffer, const Rect& rect) override;
    void DrawTextInMainWindow(const Rect& box, const std::string& text, RGBColor color) override;
    void ShowRecordingMark(const std::string& text) override;
    void ShowNoteInMainWindow(const std::string& text) override;
    Rect MainScreenRect() override;
    Rect AllScreensRect() override;
    std::vector<Rect> ScreenRects() override;
    void SetFullScreen(bool on) override;
    void ShowDocumentTitle(const std::string& name, bool modified) override;
    void MoveWindowTo(int16_t windowId, int16_t left, int16_t top) override;
    void SizeWindowContent(int16_t windowId, int16_t width, int16_t height) override;
    Rect WindowContentRect(int16_t windowId) override;
    void BringWindowToFront(int16_t windowId) override;
    PixelSurface WindowSurface(int16_t windowId) override;
    void PresentWindow(int16_t windowId) override;
    void InvalidateWindow(int16_t windowId) override;
    void SetWindowScrollBar(int16_t windowId, int32_t value, int32_t maximum, int32_t pageStep) override;

    void OpenDocument(const QString& path);
    void RunOnePass();  // one pass of the loop: refresh the event record, then one frame
    QWidget* Preview() const;
    QtMenuBar* Menus() const { return menus_; }
    QtSideWindow* SideWindow(int16_t windowId) const;  // object or statistics window, else null
    void StopFrameTimer() { frameTimer_.stop(); }  // tests drive the passes themselves
    void StartFrameTimer() { frameTimer_.start(0); }
    long PassesTried() const { return passesTried_; }  // calls of RunOnePass, frames or not
    static constexpr int kModalPollMs = 100;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void BuildSideWindows();
    void ApplicationStateChanged(Qt::ApplicationState state);
    void FollowBackgroundState();  // slow frames while another application is active or we are minimised
    void ShowMouseState(const QPoint& mouse);
    QWidget* WindowFor(int16_t windowId);
    std::map<int16_t, QtSideWindow*> sideWindows_;  // object and statistics windows by id
    bool sideWindowsShown_ = false;
    bool applicationActive_ = true;
    PreviewWidget* preview_;
    QtMenuBar* menus_ = nullptr;
    QTimer frameTimer_;
    QtFramePacer pacer_{frameTimer_};
    long passesTried_ = 0;
};
