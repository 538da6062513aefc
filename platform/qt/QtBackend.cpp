#include "platform/qt/QtBackend.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QMessageBox>
#include <QPainter>

#include "io/FileTypes.h"

namespace {

// Dialogs and the clipboard need a widget application; tools run with a bare GUI one.
bool HaveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

QFont ThemeFont(int16_t font) {
    QFont f("DejaVu Sans");
    f.setPixelSize(font == 5 ? 12 : 11);
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
        default: return "All files (*)";
    }
}

}  // namespace

void QtBackend::SysBeep() {
    if (HaveWidgets()) QApplication::beep();
}

void QtBackend::StopAlert(const std::string& text) {
    if (HaveWidgets()) QMessageBox::critical(QApplication::activeWindow(), "Gravitas", PlatformText(text));
}

void QtBackend::CautionAlert(const std::string& text) {
    if (HaveWidgets()) QMessageBox::warning(QApplication::activeWindow(), "Gravitas", PlatformText(text));
}

int32_t QtBackend::ThemeTextWidth(const std::string& text, int16_t font) {
    return QFontMetrics(ThemeFont(font)).horizontalAdvance(PlatformText(text));
}

int32_t QtBackend::DrawThemeText(PixelSurface& surface, const Rect& box, const std::string& text, int16_t font,
                                 TextJustify justify, RGBColor color, bool additive) {
    if (!surface.base) return -1;
    QImage target(reinterpret_cast<uchar*>(surface.base), surface.width, surface.height, surface.rowBytes,
                  QImage::Format_RGB32);
    QPainter painter(&target);
    painter.setFont(ThemeFont(font));
    if (additive) painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.setPen(QColor(color.red >> 8, color.green >> 8, color.blue >> 8));
    const int horizontal = justify == TextJustify::Left     ? Qt::AlignLeft
                           : justify == TextJustify::Center ? Qt::AlignHCenter
                                                            : Qt::AlignRight;
    painter.drawText(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top),
                     horizontal | Qt::AlignVCenter, PlatformText(text));
    return 0;
}

bool QtBackend::DecodePicture(const uint8_t* bytes, size_t size, DecodedImage& out) {
    QImage image;
    if (!bytes || !image.loadFromData(bytes, int(size))) return false;
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
    if (!HaveWidgets()) return false;
    QStringList filters;
    for (uint32_t t : types) filters << FilterFor(t);
    const QString chosen =
        QFileDialog::getOpenFileName(QApplication::activeWindow(), "Open", QString(), filters.join(";;"));
    if (chosen.isEmpty()) return false;
    path = chosen.toStdString();
    return true;
}

int32_t QtBackend::ChooseSaveFile(const std::string& message, const std::string& defaultName, uint32_t fileType,
                                  std::string& path) {
    if (!HaveWidgets()) return 0;
    const QString chosen = QFileDialog::getSaveFileName(QApplication::activeWindow(), PlatformText(message),
                                                        PlatformText(defaultName), FilterFor(fileType));
    if (chosen.isEmpty()) return 0;
    path = chosen.toStdString();
    return QFileInfo::exists(chosen) ? 3 : 1;
}
