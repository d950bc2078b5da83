#pragma once

#include <QByteArray>
#include <QString>

// SHA-256 of the bytes as 64 lower-case hexadecimal characters. Names content
// hashes, blob files and thumbnail files.
QString sha256Hex(const QByteArray& bytes);
