#pragma once
// QtSettingsStore: the settings store as an INI file in the user's
// configuration folder ($XDG_CONFIG_HOME/Pelko/Pelko v.2.2.ini), written
// through QSettings. The file is created by the first write.

#include <QSettings>
#include <QString>

#include "engine/rules/app_settings.h"

namespace pelko {

class QtSettingsStore : public SettingsStore {
public:
    // The user's store.
    QtSettingsStore();
    // A store in the given file (tests, portable set-ups).
    explicit QtSettingsStore(const QString& fileName);

    QString fileName() const { return settings_.fileName(); }

    bool canOpen() const override;
    bool canWrite() const override;
    std::optional<std::int32_t> readInt(const std::string& name) const override;
    std::optional<std::string> readText(const std::string& name) const override;
    void writeInt(const std::string& name, std::int32_t value) override;
    void writeText(const std::string& name, const std::string& value) override;
    bool flush() override;

private:
    mutable QSettings settings_;
};

}  // namespace pelko
