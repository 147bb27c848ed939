#include "platform/Preferences.h"

#include <QFileInfo>
#include <QSettings>

#include "platform/QtTexts.h"

namespace platform {
namespace {

// Two or three short lines in practice; far more is not a preferences file of ours.
constexpr qint64 kMaxPreferencesBytes = qint64{1} << 20;

QString PreferencesPath(const tallyra::DataFiles& files) {
  return DataPath(files, tallyra::kPreferencesFileName);
}

// Whether the file may be handed to QSettings, which opens and reads it whole: only a regular
// file within the limit, or none yet. A pipe would keep the program waiting at start for a
// writer, a huge file would take its size in memory several times over. A refused file is
// neither read nor saved over: it may be the user's, and the defaults serve meanwhile.
bool PreferencesUsable(const QString& path) {
  const QFileInfo file(path);
  if (!file.exists()) return true;
  return file.isFile() && file.size() <= kMaxPreferencesBytes;
}

}  // namespace

QString ReadPreference(const tallyra::DataFiles& files, const QString& key,
                       const QString& fallback) {
  const QString path = PreferencesPath(files);
  if (!PreferencesUsable(path)) return fallback;
  QSettings settings(path, QSettings::IniFormat);
  return settings.value(key, fallback).toString();
}

void WritePreference(const tallyra::DataFiles& files, const QString& key, const QString& value) {
  const QString path = PreferencesPath(files);
  if (!PreferencesUsable(path)) return;
  QSettings settings(path, QSettings::IniFormat);
  settings.setValue(key, value);
  settings.sync();
}

}  // namespace platform
