#include "platform/qt/QtSettingsStore.h"

#include "io/FileAccess.h"

namespace {
// QSettings writes its file itself (under a temporary name, renamed over the file); what it may
// write over is decided as for every file the application replaces. A settings file that is a
// device, a pipe, a folder or read-only is left alone: changes then last only for this run.
bool MayWrite(const QSettings& settings) {
    std::string target, error;
    return ReplaceableTarget(settings.fileName().toStdString(), target, error);
}
}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(QSettings::NativeFormat, QSettings::UserScope, "Gravitas", "Gravitas") {}

bool QtSettingsStore::ReadSetting(const std::string& key, std::string& value) {
    const QVariant stored = settings_.value(QString::fromStdString(key));
    // Only text counts: an edited file can turn a value into a list or a number.
    if (stored.typeId() != QMetaType::QString) return false;
    value = stored.toString().toStdString();
    return true;
}

void QtSettingsStore::WriteSetting(const std::string& key, const std::string& value) {
    if (!MayWrite(settings_)) return;
    settings_.setValue(QString::fromStdString(key), QString::fromStdString(value));
}

void QtSettingsStore::RemoveSetting(const std::string& key) {
    if (MayWrite(settings_)) settings_.remove(QString::fromStdString(key));
}

// Each batch is written through at once, so a crash later in the run loses nothing.
void QtSettingsStore::FlushSettings() { settings_.sync(); }
