// The defaults file as found on disk: read, typed lookups, one write. What
// the user had is never lost: it is either kept in the store or set aside.
#include "FuzzSupport.h"
#include "settings/JsonDefaultsStore.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::ensureApp();
    const QByteArray input = Fuzz::bytes(data, size);
    const QString path = Fuzz::writeFile(QStringLiteral("defaults.json"), input);
    QFile::remove(path + QStringLiteral(".damaged"));
    JsonDefaultsStore store(path);
    const QStringList keys = store.keys();
    for (const QString& key : keys) {
        store.boolForKey(key);
        store.typedBool(key);
        store.typedInteger(key);
        store.typedString(key);
        store.typedStringList(key);
    }
    store.setInteger(QStringLiteral("fuzz.written"), 1);

    JsonDefaultsStore reread(path);
    FUZZ_CHECK(reread.typedInteger(QStringLiteral("fuzz.written")) == 1);
    for (const QString& key : keys)
        FUZZ_CHECK(reread.object(key) == store.object(key));
    if (keys.isEmpty() && QFile::exists(path + QStringLiteral(".damaged"))) {
        QFile aside(path + QStringLiteral(".damaged"));
        FUZZ_CHECK(aside.open(QIODevice::ReadOnly) && aside.readAll() == input);
    }
    return 0;
}
