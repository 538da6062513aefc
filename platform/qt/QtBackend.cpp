#include "platform/qt/QtBackend.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <mutex>

#include "core/Version.h"
#include "io/FileTypes.h"
#include "platform/qt/QtKeyReferenceWindow.h"
#include "platform/qt/QtModalDialog.h"
#include "platform/qt/QtSoundOutput.h"
#include "platform/qt/QtStatusWindow.h"

namespace {

// Dialogs and the clipboard need a widget application; tools run with a bare GUI one.
bool HaveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

QFont ThemeFont(int16_t font, double scale = 1) {
    QFont f("DejaVu Sans");
    // 109 is the small font of the side windows' scales and notes.
    f.setPixelSize(int(std::lround((font == 109 ? 9 : font == 5 ? 12 : 11) * scale)));
    return f;
}


QImage WrapSurface(const PixelSurface& s) {
    return QImage(reinterpret_cast<const uchar*>(s.base), s.width, s.height, s.rowBytes, QImage::Format_RGB32);
}

QString FilterFor(uint32_t type) {
    switch (type) {
        case kUniverseFileType: return "Universe files (*.universe)";
        case kStarDataFileType: return "Star data files (*.stars)";
        case kPictFileType: return "Picture files (*.pict)";
        case kPngFileType: return "PNG pictures (*.png)";
        case kMovieFileType: return "Movies (*.mp4 *.webm)";
        case kHorizonsTextFileType: return "Horizons vector tables (*.txt)";
        default: return "All files (*)";
    }
}

}  // namespace

void QtBackend::SysBeep() {
    if (HaveWidgets()) QApplication::beep();
}

namespace {
QString alertTitle;  // the command the alerts belong to
QString AlertTitle() { return alertTitle.isEmpty() ? QStringLiteral("Gravitas") : alertTitle; }
}  // namespace

void QtBackend::NameDialogsAfter(const std::string& command) { alertTitle = PlatformText(command); }

void QtBackend::StopAlert(const std::string& text) {
    if (HaveWidgets()) QMessageBox::critical(QApplication::activeWindow(), AlertTitle(), PlatformText(text));
}

void QtBackend::CautionAlert(const std::string& text) {
    if (HaveWidgets()) QMessageBox::warning(QApplication::activeWindow(), AlertTitle(), PlatformText(text));
}

int32_t QtBackend::ThemeTextWidth(const std::string& text, int16_t font) {
    return QFontMetrics(ThemeFont(font)).horizontalAdvance(PlatformText(text));
}

int32_t QtBackend::DrawThemeText(PixelSurface& surface, const Rect& box, const std::string& text, int16_t font,
                                 TextJustify justify, RGBColor color, bool additive) {
    return DrawScaledThemeText(surface, box, text, font, justify, color, additive, 1);
}

int32_t QtBackend::DrawScaledThemeText(PixelSurface& surface, const Rect& box, const std::string& text, int16_t font,
                                       TextJustify justify, RGBColor color, bool additive, double scale) {
    if (!surface.base) return -1;
    QImage target(reinterpret_cast<uchar*>(surface.base), surface.width, surface.height, surface.rowBytes,
                  QImage::Format_RGB32);
    QPainter painter(&target);
    painter.setFont(ThemeFont(font, scale));
    if (additive) painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.setPen(QColor(color.red >> 8, color.green >> 8, color.blue >> 8));
    const int horizontal = justify == TextJustify::Left     ? Qt::AlignLeft
                           : justify == TextJustify::Center ? Qt::AlignHCenter
                                                            : Qt::AlignRight;
    painter.drawText(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top),
                     horizontal | Qt::AlignVCenter, PlatformText(text));
    return 0;
}

namespace {

// libpng reports a broken picture with its own lines on stderr, past Qt's message handler;
// the caller tells the user in its own words which picture failed, so those lines are
// sent to a scratch file while a picture is decoded.
class QuietStderr {
public:
    QuietStderr() : lock_(Mutex()) {
        const int sink = ::memfd_create("gravitas-decoder-notes", MFD_CLOEXEC);
        if (sink < 0) return;
        std::fflush(stderr);
        saved_ = ::dup(2);
        if (saved_ >= 0 && ::dup2(sink, 2) < 0) ::close(saved_), saved_ = -1;
        ::close(sink);
    }
    ~QuietStderr() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    static std::mutex& Mutex() {
        static std::mutex m;
        return m;
    }
    std::lock_guard<std::mutex> lock_;
    int saved_ = -1;
};

}  // namespace

bool QtBackend::DecodePicture(const uint8_t* bytes, size_t size, DecodedImage& out) {
    QImage image;
    bool loaded = false;
    if (bytes && size <= size_t(INT_MAX)) {
        QuietStderr quiet;
        loaded = image.loadFromData(bytes, int(size));
    }
    if (!loaded) return false;
    image = image.convertToFormat(QImage::Format_RGB32);
    out.width = image.width();
    out.height = image.height();
    out.pixels.resize(size_t(out.width) * size_t(out.height));
    for (int y = 0; y < out.height; ++y) {
        auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < out.width; ++x) out.pixels[size_t(y) * out.width + x] = row[x] & 0x00FFFFFFu;
    }
    return true;
}

PictureBytes QtBackend::EncodePicture(const PixelSurface& surface) {
    if (!surface.base) return {};
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    WrapSurface(surface).save(&buffer, "PNG");
    return PictureBytes(data.begin(), data.end());
}

bool QtBackend::PutPictureOnClipboard(const PixelSurface& surface) {
    if (!surface.base || !HaveWidgets()) return false;
    QApplication::clipboard()->setImage(WrapSurface(surface).copy());
    return true;
}

bool QtBackend::ChooseFile(const std::vector<uint32_t>& types, std::string& path) {
    return ChooseFileIn(std::string(), types, path);
}

int32_t QtBackend::ChooseSaveFile(const std::string& message, const std::string& defaultName, uint32_t fileType,
                                  std::string& path) {
    return ChooseSaveFileIn(std::string(), message, defaultName, fileType, path);
}

bool QtBackend::ChooseFileIn(const std::string& folder, const std::vector<uint32_t>& types, std::string& path) {
    if (!HaveWidgets()) return false;
    QStringList filters;
    for (uint32_t t : types) filters << FilterFor(t);
    const QString chosen = QFileDialog::getOpenFileName(QApplication::activeWindow(), "Open",
                                                        QString::fromStdString(folder), filters.join(";;"));
    if (chosen.isEmpty()) return false;
    path = chosen.toStdString();
    return true;
}

int32_t QtBackend::ChooseSaveFileIn(const std::string& folder, const std::string& message,
                                    const std::string& defaultName, uint32_t fileType, std::string& path) {
    if (!HaveWidgets()) return 0;
    // The suggested name inside the folder: the dialog opens there with the name filled in.
    const QString start = folder.empty() ? PlatformText(defaultName)
                                         : QDir(QString::fromStdString(folder)).filePath(PlatformText(defaultName));
    const QString chosen =
        QFileDialog::getSaveFileName(QApplication::activeWindow(), PlatformText(message), start, FilterFor(fileType));
    if (chosen.isEmpty()) return 0;
    path = chosen.toStdString();
    return QFileInfo::exists(chosen) ? 3 : 1;
}

QtBackend::QtBackend() = default;
QtBackend::~QtBackend() { CloseSoundChannel(); }

void QtBackend::StatusWindowOpen(uint32_t lastSlot, const std::string& title) {
    if (!HaveWidgets()) return;
    status_ = std::make_unique<QtStatusWindow>(lastSlot, PlatformText(title));
}

void QtBackend::StatusWindowDraw(uint32_t slot, uint32_t position, const std::string* text) {
    if (!status_) return;
    const QString caption = text ? PlatformText(*text) : QString();
    status_->Draw(slot, position, text ? &caption : nullptr);
}

void QtBackend::StatusWindowClose() { status_.reset(); }

void QtBackend::StatusWindowAllowCancel() {
    if (status_) status_->AllowCancel();
}

bool QtBackend::StatusWindowCancelled() { return status_ && status_->Cancelled(); }

void QtBackend::AboutBox(const std::string& runTimeText) {
    if (!HaveWidgets()) return;
    QMessageBox::about(QApplication::activeWindow(), "About Gravitas",
                       QString("<h3>Gravitas %2</h3><p>A planetary system under mutual gravity: a star, planets, "
                               "moons and a spacecraft, drawn live in three dimensions.</p><p>%1</p>")
                           .arg(PlatformText(runTimeText).toHtmlEscaped(), QString(kGravitasVersion)));
}

void QtBackend::ShowKeyReference(const std::vector<KeyReferenceRow>& rows) {
    if (HaveWidgets()) ShowKeyReferenceWindow(rows);
}

RGBColor QtBackend::HighlightColor() {
    if (!HaveWidgets()) return PlatformBackend::HighlightColor();
    const QColor c = QApplication::palette().color(QPalette::Highlight);
    return RGBColor{uint16_t(c.red() * 257), uint16_t(c.green() * 257), uint16_t(c.blue() * 257)};
}

std::unique_ptr<ModalDialog> QtBackend::OpenModalDialog(const DialogLayout& layout) {
    if (!HaveWidgets()) return nullptr;  // counts as Cancel
    return std::make_unique<QtModalDialog>(layout, QApplication::activeWindow());
}

// The picker works in 16 bits per channel, so a colour comes back exactly as it went in.
bool QtBackend::ChooseColor(const std::string& prompt, RGBColor& color) {
    if (!HaveWidgets()) return false;
    const QColor start = QColor::fromRgba64(color.red, color.green, color.blue);
    const QColor chosen = QColorDialog::getColor(start, QApplication::activeWindow(), PlatformText(prompt));
    if (!chosen.isValid()) return false;
    const QRgba64 c = chosen.rgba64();
    color = RGBColor{c.red(), c.green(), c.blue()};
    return true;
}

bool QtBackend::OpenSoundChannel() {
    if (!HaveWidgets()) return false;  // command-line tools stay silent
    if (!sound_) sound_ = NewQtSoundOutput();
    return sound_ && sound_->Open();
}

void QtBackend::CloseSoundChannel() { sound_.reset(); }
bool QtBackend::PlaySoundResource(int16_t id) { return sound_ && sound_->Play(id); }
bool QtBackend::SoundChannelBusy() { return sound_ && sound_->Busy(); }
void QtBackend::StopSoundChannel() {
    if (sound_) sound_->Stop();
}
