// The progress window of long operations: one caption and one bar per slot.
#pragma once
#include <QDialog>
#include <vector>

class QLabel;
class QProgressBar;

class QtStatusWindow : public QDialog {
public:
    QtStatusWindow(uint32_t lastSlot, const QString& title);
    // position 0..500, or 0xFFFFFFFF to leave the bar; text null to leave the caption.
    void Draw(uint32_t slot, uint32_t position, const QString* text);

private:
    std::vector<QLabel*> captions_;
    std::vector<QProgressBar*> bars_;
};
