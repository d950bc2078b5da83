#include "platform/PngChunks.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>

bool PngChunks::lengthsFit(QIODevice& device) {
    if (device.isSequential())
        return true;
    const qint64 start = device.pos();
    const qint64 size = device.size();
    bool fit = true;
    for (qint64 at = start; at + 8 <= size;) {
        char header[8];
        if (!device.seek(at) || device.read(header, 8) != 8)
            break;
        const qint64 length = qFromBigEndian<quint32>(header);
        const char* type = header + 4;
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
        // Length, type, data and CRC.
        const qint64 end = at + 12 + length;
        if (end > size && std::memcmp(type, "IDAT", 4) != 0) {
            fit = false;
            break;
        }
        at = end;
    }
    device.seek(start);
    return fit;
}
