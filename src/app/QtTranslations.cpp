#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

QtTranslations::QtTranslations(const QLocale &locale) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const std::array<QString, 2> catalogues{QStringLiteral("qtbase"), QStringLiteral("qtwebengine")};
    for (size_t i = 0; i < catalogues.size(); ++i) {
        // A missing file (the translation package not installed) leaves Qt's English texts.
        if (m_translators[i].load(locale, catalogues[i], QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(&m_translators[i]))
            ++m_installed;
    }
}

QtTranslations::~QtTranslations() {
    for (QTranslator &translator : m_translators)
        QCoreApplication::removeTranslator(&translator);
}
