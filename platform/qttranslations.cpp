#include "platform/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

std::unique_ptr<QTranslator> &installed()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

QString QtLanguageOf(const QString &languageTable)
{
    static const std::pair<const char *, const char *> codes[] = {
        {"deutsch", "de"}, {"english", "en"}, {"francais", "fr"}, {"espanol", "es"}};
    const QString table = languageTable.trimmed().toLower();
    for (const auto &[name, code] : codes)
        if (table == QLatin1String(name))
            return QLatin1String(code);
    return QString();
}

bool LoadQtTranslations(const QString &languageTable)
{
    if (installed()) {
        QCoreApplication::removeTranslator(installed().get());
        installed().reset();
    }
    const QString code = QtLanguageOf(languageTable);
    if (code.isEmpty())
        return false;
    auto translator = std::make_unique<QTranslator>();
    // qtbase_xx holds the texts of the widgets and dialogs.
    if (!translator->load(QStringLiteral("qtbase_") + code,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed() = std::move(translator);
    return true;
}
