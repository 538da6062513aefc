#include "platform/qt/QtSettingsStore.h"

#include <QStandardPaths>
#include <sys/stat.h>

#include "io/FileAccess.h"

namespace {

// Where QSettings keeps the application's settings on this system (QSettings itself cannot be
// asked before it has read the file).
std::string SettingsFilePath() {
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Gravitas/Gravitas.conf")
            .toStdString();
}

// QSettings reads its file as soon as it is made: a pipe in its place would block the
// start-up, and a device would be taken for settings. Only a regular file (or none) is used.
bool UsableSettingsFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

// QSettings writes its file itself (under a temporary name, renamed over the file); what it may
// write over is decided as for every file the application replaces. A settings file that is
// read-only is left alone: changes then last only for this run.
bool MayWrite(const QSettings* settings) {
    std::string target, error;
    return settings && ReplaceableTarget(settings->fileName().toStdString(), target, error);
}

}  // namespace

QtSettingsStore::QtSettingsStore() {
    if (UsableSettingsFile(SettingsFilePath()))
        settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Gravitas", "Gravitas");
}

QtSettingsStore::~QtSettingsStore() = default;

bool QtSettingsStore::ReadSetting(const std::string& key, std::string& value) {
    if (!settings_) return false;
    const QVariant stored = settings_->value(QString::fromStdString(key));
    // Only text counts: an edited file can turn a value into a list or a number.
    if (stored.typeId() != QMetaType::QString) return false;
    value = stored.toString().toStdString();
    return true;
}

void QtSettingsStore::WriteSetting(const std::string& key, const std::string& value) {
    if (!MayWrite(settings_.get())) return;
    settings_->setValue(QString::fromStdString(key), QString::fromStdString(value));
}

void QtSettingsStore::RemoveSetting(const std::string& key) {
    if (MayWrite(settings_.get())) settings_->remove(QString::fromStdString(key));
}

// Each batch is written through at once, so a crash later in the run loses nothing.
void QtSettingsStore::FlushSettings() {
    if (settings_) settings_->sync();
}
