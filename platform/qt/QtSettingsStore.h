// What the application remembers between runs, kept by QSettings in the
// user's configuration folder (~/.config/Gravitas/Gravitas.conf, or under
// $XDG_CONFIG_HOME). A settings file that is not a regular file is neither
// read nor written: the run then starts from the defaults.
#pragma once
#include <QSettings>
#include <memory>

#include "platform/Platform.h"

class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();
    ~QtSettingsStore() override;

    bool ReadSetting(const std::string& key, std::string& value) override;
    void WriteSetting(const std::string& key, const std::string& value) override;
    void RemoveSetting(const std::string& key) override;
    void FlushSettings() override;

private:
    std::unique_ptr<QSettings> settings_;  // none when the file is a pipe, a device or a folder
};
