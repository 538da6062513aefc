#include "platform/qt/QtSettingsStore.h"

QtSettingsStore::QtSettingsStore() : settings_(QSettings::NativeFormat, QSettings::UserScope, "Gravitas", "Gravitas") {}

bool QtSettingsStore::ReadSetting(const std::string& key, std::string& value) {
    const QVariant stored = settings_.value(QString::fromStdString(key));
    // Only text counts: an edited file can turn a value into a list or a number.
    if (stored.typeId() != QMetaType::QString) return false;
    value = stored.toString().toStdString();
    return true;
}

void QtSettingsStore::WriteSetting(const std::string& key, const std::string& value) {
    settings_.setValue(QString::fromStdString(key), QString::fromStdString(value));
}

void QtSettingsStore::RemoveSetting(const std::string& key) { settings_.remove(QString::fromStdString(key)); }

// Each batch is written through at once, so a crash later in the run loses nothing.
void QtSettingsStore::FlushSettings() { settings_.sync(); }
