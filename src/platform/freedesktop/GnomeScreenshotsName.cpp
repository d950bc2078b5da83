#include "platform/freedesktop/GnomeScreenshotsName.h"

#include "platform/freedesktop/DesktopEntryFile.h"

#include <QByteArray>
#include <QList>

#include <libintl.h>

#include <utility>

namespace {
// GNOME Shell 43's own translations of its folder name, for systems where
// its message catalogue is not installed (a KDE desktop in the same home).
// Languages it does not translate keep "Screenshots".
const std::pair<const char*, const char16_t*> kKnown[] = {
    {"ab", u"Аекран ақәҭыхра"},
    {"be", u"Здымкі экрана"},
    {"bg", u"Снимки на екрана"},
    {"ca", u"Captures de pantalla"},
    {"ca@valencia", u"Captures de pantalla"},
    {"cs", u"Snímky obrazovky"},
    {"da", u"Skærmbilleder"},
    {"de", u"Bildschirmfotos"},
    {"el", u"Στιγμιότυπα οθόνης"},
    {"es", u"Capturas de pantalla"},
    {"eu", u"Pantaila-argazkiak"},
    {"fa", u"نماگرفت‌ها"},
    {"fi", u"Kuvakaappaukset"},
    {"fr", u"Captures d’écran"},
    {"fur", u"Videadis"},
    {"gl", u"Capturas de pantalla"},
    {"he", u"צילומי מסך"},
    {"hr", u"Slike zaslona"},
    {"hu", u"Képernyőképek"},
    {"ia", u"Capturas de schermo"},
    {"id", u"Cuplikan Layar"},
    {"ie", u"Capturas de ecran"},
    {"is", u"Skjámyndir"},
    {"it", u"Schermate"},
    {"ja", u"スクリーンショット"},
    {"ka", u"ეკრანის ანაბეჭდები"},
    {"kk", u"Скриншоттар"},
    {"ko", u"스크린샷"},
    {"lt", u"Ekrano nuotraukos"},
    {"lv", u"Ekrānattēli"},
    {"ne", u"स्क्रिनसट"},
    {"nl", u"Schermafdrukken"},
    {"oc", u"Capturas d'ecran"},
    {"pa", u"ਸਕਰੀਨਸ਼ਾਟ"},
    {"pl", u"Zrzuty ekranu"},
    {"pt", u"Capturas de ecrã"},
    {"pt_BR", u"Capturas de tela"},
    {"ru", u"Снимки экрана"},
    {"sk", u"Snímky obrazovky"},
    {"sl", u"Zaslonske slike"},
    {"sr", u"Снимци екрана"},
    {"sr@latin", u"Снимци екрана"},
    {"sv", u"Skärmbilder"},
    {"th", u"จับภาพหน้าจอ"},
    {"tr", u"Ekran Görüntüleri"},
    {"ug", u"ئېكران كۆرۈنۈشى"},
    {"uk", u"Знімки екрана"},
    {"vi", u"Chụp màn hình"},
    {"zh_CN", u"截图"},
    {"zh_TW", u"螢幕快照"},
};

} // namespace

QString GnomeScreenshotsName::forLocale(const QString& locale) {
    // "pt_BR.UTF-8@euro" is tried as pt_BR@euro, pt_BR, pt@euro, pt.
    QString name = locale;
    QString modifier;
    if (const qsizetype at = name.indexOf(QLatin1Char('@')); at >= 0) {
        modifier = name.mid(at);
        name.truncate(at);
    }
    if (const qsizetype dot = name.indexOf(QLatin1Char('.')); dot >= 0)
        name.truncate(dot);
    const QString language = name.section(QLatin1Char('_'), 0, 0);
    for (const QString& candidate : {name + modifier, name, language + modifier, language}) {
        for (const auto& [code, translation] : kKnown) {
            if (candidate == QLatin1String(code))
                return QString::fromUtf16(translation);
        }
    }
    return QStringLiteral("Screenshots");
}

QString GnomeScreenshotsName::current() {
    // The installed shell's own catalogue says exactly what it will use.
    const char* installed = ::dgettext("gnome-shell", "Screenshots");
    if (installed && qstrcmp(installed, "Screenshots") != 0)
        return QString::fromUtf8(installed);
    return forLocale(DesktopEntryFile::messagesLocale());
}
