#include "platform/qt/QtStatusWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

QtStatusWindow::QtStatusWindow(uint32_t lastSlot, const QString& title)
    : QDialog(QApplication::activeWindow(), Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    previouslyActive_ = QApplication::activeWindow();
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

QtStatusWindow::~QtStatusWindow() {
    hide();
    if (previouslyActive_) previouslyActive_->activateWindow();
}

void QtStatusWindow::Draw(uint32_t slot, uint32_t position, const QString* text) {
    if (slot >= bars_.size()) return;
    if (position != 0xFFFFFFFFu) bars_[slot]->setValue(int(std::min<uint32_t>(position, 500)));
    if (text) captions_[slot]->setText(*text);
    // Long work runs on this thread: let the window paint; user input only reaches it
    // when it can be cancelled (it is modal, so the other windows stay out of reach).
    QApplication::processEvents(cancellable_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

void QtStatusWindow::AllowCancel() {
    if (cancellable_) return;
    cancellable_ = true;
    auto* button = new QPushButton(tr("Cancel"), this);
    connect(button, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    layout()->addWidget(button);
    layout()->setAlignment(button, Qt::AlignRight);
    adjustSize();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtStatusWindow::reject() {
    if (cancellable_) cancelled_ = true;  // the window stays until the work has stopped
}
