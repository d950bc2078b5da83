#include "app/Translations.h"

#include "app/AppLog.h"

#include <QCoreApplication>
#include <QLibraryInfo>

Translations::Translations(const QLocale& locale) {
    // uiLanguages() already reads LANGUAGE, LC_ALL, LC_MESSAGES and LANG in
    // that order for the system locale; QTranslator::load(QLocale) would try
    // every one of them and so pick German for "en:de", hence the walk here.
    for (const QString& name : locale.uiLanguages()) {
        const QLocale language(name);
        if (language.language() == QLocale::English || language.language() == QLocale::C)
            return;
        if (!m_quillet.load(language, QStringLiteral("quillet"), QStringLiteral("_"),
                            QStringLiteral(":/i18n")))
            continue;
        QCoreApplication::installTranslator(&m_quillet);
        if (m_qt.load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&m_qt);
        m_language = m_quillet.language();
        qCDebug(appLog) << "texts in" << m_language;
        return;
    }
}

Translations::~Translations() {
    QCoreApplication::removeTranslator(&m_qt);
    QCoreApplication::removeTranslator(&m_quillet);
}
