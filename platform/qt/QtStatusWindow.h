// The progress window of long operations: one caption and one bar per slot.
#pragma once
#include <QDialog>
#include <QPointer>
#include <vector>

class QLabel;
class QProgressBar;

class QtStatusWindow : public QDialog {
public:
    QtStatusWindow(uint32_t lastSlot, const QString& title);
    ~QtStatusWindow() override;
    // position 0..500, or 0xFFFFFFFF to leave the bar; text null to leave the caption.
    void Draw(uint32_t slot, uint32_t position, const QString* text);
    // A Cancel button; Escape and closing the window count as Cancel too.
    void AllowCancel();
    bool Cancelled() const { return cancelled_; }

protected:
    void reject() override;

private:
    QPointer<QWidget> previouslyActive_;  // gets the focus back when the work is done
    std::vector<QLabel*> captions_;
    std::vector<QProgressBar*> bars_;
    bool cancellable_ = false;
    bool cancelled_ = false;
};
