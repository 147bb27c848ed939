#include "platform/Preferences.h"

#include <QFileInfo>
#include <QSettings>

namespace platform {
namespace {

// Two or three short lines in practice; far more is not a preferences file of ours.
constexpr qint64 kMaxPreferencesBytes = qint64{1} << 20;

QString PreferencesPath() {
  return QStringLiteral("preferences.ini");
}

// Whether the file may be handed to QSettings, which opens and reads it whole: only a regular
// file within the limit, or none yet. A pipe would keep the program waiting at start for a
// writer, a huge file would take its size in memory several times over. A refused file is
// neither read nor saved over: it may be the user's, and the defaults serve meanwhile.
bool PreferencesUsable() {
  const QFileInfo file(PreferencesPath());
  if (!file.exists()) return true;
  return file.isFile() && file.size() <= kMaxPreferencesBytes;
}

}  // namespace

QString ReadPreference(const QString& key, const QString& fallback) {
  if (!PreferencesUsable()) return fallback;
  QSettings settings(PreferencesPath(), QSettings::IniFormat);
  return settings.value(key, fallback).toString();
}

void WritePreference(const QString& key, const QString& value) {
  if (!PreferencesUsable()) return;
  QSettings settings(PreferencesPath(), QSettings::IniFormat);
  settings.setValue(key, value);
  settings.sync();
}

}  // namespace platform
