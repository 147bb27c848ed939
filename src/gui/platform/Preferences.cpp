#include "platform/Preferences.h"

#include <QSettings>

namespace platform {
namespace {

QString PreferencesPath() {
  return QStringLiteral("preferences.ini");
}

}  // namespace

QString ReadPreference(const QString& key, const QString& fallback) {
  QSettings settings(PreferencesPath(), QSettings::IniFormat);
  return settings.value(key, fallback).toString();
}

void WritePreference(const QString& key, const QString& value) {
  QSettings settings(PreferencesPath(), QSettings::IniFormat);
  settings.setValue(key, value);
  settings.sync();
}

}  // namespace platform
