#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

#include <cstdint>

struct xcb_connection_t;

// The atoms of one X connection, by name and back, remembered once known.
// Names not yet known are asked all at once (every request first, then the
// replies), so a batch costs one round trip, not one per name. Use from the
// thread that uses the connection.
class X11Atoms {
public:
    explicit X11Atoms(xcb_connection_t* connection = nullptr);

    xcb_connection_t* connection() const { return m_connection; }

    // XCB_ATOM_NONE (0) where the server gave no answer.
    uint32_t atom(const QByteArray& name);
    QList<uint32_t> atoms(const QList<QByteArray>& names);
    // Empty where an atom has no name (or the server gave no answer).
    QList<QByteArray> names(const QList<uint32_t>& atoms);

private:
    void remember(uint32_t atom, const QByteArray& name);

    xcb_connection_t* m_connection;
    QHash<QByteArray, uint32_t> m_byName;
    QHash<uint32_t, QByteArray> m_byAtom;
};
