#pragma once

#include <QLocale>
#include <QTranslator>

// Quillet's texts, and Qt's own (standard buttons, the command-line parser)
// where the system has them, in the first of the locale's languages that
// Quillet speaks; installed on the application for as long as this lives.
// English is the language of the source texts: a user who lists English
// before a translated language gets English.
class Translations {
public:
    explicit Translations(const QLocale& locale = QLocale());
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // The language in use, such as "de"; empty for the English source texts.
    QString language() const { return m_language; }

private:
    QTranslator m_quillet;
    QTranslator m_qt;
    QString m_language;
};
