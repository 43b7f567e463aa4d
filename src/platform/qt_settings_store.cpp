#include "platform/qt_settings_store.h"

#include <QFileInfo>

namespace pelko {

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::IniFormat, QSettings::UserScope, "Pelko", "Pelko v.2.2")
{
}

QtSettingsStore::QtSettingsStore(const QString& fileName) : settings_(fileName, QSettings::IniFormat) {}

bool QtSettingsStore::canOpen() const
{
    const QFileInfo info(settings_.fileName());
    return info.isFile() && info.isReadable() && settings_.status() == QSettings::NoError;
}

bool QtSettingsStore::canWrite() const
{
    return settings_.isWritable();
}

std::optional<std::int32_t> QtSettingsStore::readInt(const std::string& name) const
{
    const QVariant v = settings_.value(QString::fromStdString(name));
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok ? std::optional<std::int32_t>(n) : std::nullopt;
}

std::optional<std::string> QtSettingsStore::readText(const std::string& name) const
{
    const QVariant v = settings_.value(QString::fromStdString(name));
    if (!v.isValid())
        return std::nullopt;
    return v.toString().toStdString();
}

void QtSettingsStore::writeInt(const std::string& name, std::int32_t value)
{
    settings_.setValue(QString::fromStdString(name), value);
}

void QtSettingsStore::writeText(const std::string& name, const std::string& value)
{
    settings_.setValue(QString::fromStdString(name), QString::fromStdString(value));
}

bool QtSettingsStore::flush()
{
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

}  // namespace pelko
