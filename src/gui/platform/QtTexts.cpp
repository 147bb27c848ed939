#include "platform/QtTexts.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QStringDecoder>
#include <QTranslator>
#include <memory>

#include "model/Workspace.h"

namespace platform {

QString Tr(tallyra::TextId id, int32_t language) {
  return QString::fromUtf8(tallyra::Text(id, language));
}

QString FromFileBytes(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  QStringDecoder cp1251("windows-1251");
  if (cp1251.isValid())
    return cp1251(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToLocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString FromLocalPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

QString DataPath(const tallyra::DataFiles& files, std::string_view name) {
  return FromLocalPath(files.path(name));
}

void UseQtLanguage(int32_t language) {
  static std::unique_ptr<QTranslator> russian;
  if (russian) {
    QCoreApplication::removeTranslator(russian.get());
    russian.reset();
  }
  if (language != tallyra::ToValue(tallyra::Language::Russian)) return;
  auto translator = std::make_unique<QTranslator>();
  if (translator->load(QStringLiteral("qtbase_ru"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator.get());
    russian = std::move(translator);
  }
}

}  // namespace platform
