// What the application remembers between runs, kept by QSettings in the
// user's configuration folder (~/.config/Gravitas/Gravitas.conf, or under
// $XDG_CONFIG_HOME).
#pragma once
#include <QSettings>

#include "platform/Platform.h"

class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();

    bool ReadSetting(const std::string& key, std::string& value) override;
    void WriteSetting(const std::string& key, const std::string& value) override;
    void RemoveSetting(const std::string& key) override;
    void FlushSettings() override;

private:
    QSettings settings_;
};
