#include "platform/qt/QtStatusWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

QtStatusWindow::QtStatusWindow(uint32_t lastSlot, const QString& title)
    : QDialog(QApplication::activeWindow(), Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 8, 16, 8);
    const uint32_t slotCount = std::min<uint32_t>(lastSlot, 7) + 1;  // callers use one; a few at most
    for (uint32_t k = 0; k < slotCount; ++k) {
        auto* caption = new QLabel(this);
        caption->setAlignment(Qt::AlignCenter);
        auto* bar = new QProgressBar(this);
        bar->setRange(0, 500);
        bar->setValue(0);
        bar->setTextVisible(false);
        bar->setFixedHeight(12);
        layout->addWidget(caption);
        layout->addWidget(bar);
        captions_.push_back(caption);
        bars_.push_back(bar);
    }
    setFixedWidth(532);
    adjustSize();
    // Centred on the main screen, 60 below its top.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    move(screen.left() + (screen.width() - width()) / 2, screen.top() + 60);
    show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtStatusWindow::Draw(uint32_t slot, uint32_t position, const QString* text) {
    if (slot >= bars_.size()) return;
    if (position != 0xFFFFFFFFu) bars_[slot]->setValue(int(std::min<uint32_t>(position, 500)));
    if (text) captions_[slot]->setText(*text);
    // Long work runs on this thread: let the window paint without taking user input.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
