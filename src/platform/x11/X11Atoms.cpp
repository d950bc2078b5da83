#include "platform/x11/X11Atoms.h"

#include "platform/x11/XcbReply.h"

#include <QVarLengthArray>

#include <xcb/xcb.h>

X11Atoms::X11Atoms(xcb_connection_t* connection)
    : m_connection(connection) {}

void X11Atoms::remember(uint32_t atom, const QByteArray& name) {
    m_byName.insert(name, atom);
    m_byAtom.insert(atom, name);
}

uint32_t X11Atoms::atom(const QByteArray& name) {
    return atoms({name}).value(0, XCB_ATOM_NONE);
}

QList<uint32_t> X11Atoms::atoms(const QList<QByteArray>& names) {
    if (!m_connection)
        return QList<uint32_t>(names.size(), XCB_ATOM_NONE);
    QVarLengthArray<xcb_intern_atom_cookie_t, 16> cookies;
    QVarLengthArray<QByteArray, 16> asked;
    for (const QByteArray& name : names) {
        if (m_byName.contains(name) || asked.contains(name))
            continue;
        asked.append(name);
        cookies.append(
            xcb_intern_atom(m_connection, false, uint16_t(name.size()), name.constData()));
    }
    for (qsizetype i = 0; i < asked.size(); ++i) {
        XcbReply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(m_connection, cookies[i], nullptr));
        if (reply && reply->atom != XCB_ATOM_NONE)
            remember(reply->atom, asked[i]);
    }
    QList<uint32_t> found;
    found.reserve(names.size());
    for (const QByteArray& name : names)
        found.append(m_byName.value(name, XCB_ATOM_NONE));
    return found;
}

QList<QByteArray> X11Atoms::names(const QList<uint32_t>& atoms) {
    if (m_connection) {
        QVarLengthArray<xcb_get_atom_name_cookie_t, 64> cookies;
        QVarLengthArray<uint32_t, 64> asked;
        for (uint32_t a : atoms) {
            if (a == XCB_ATOM_NONE || m_byAtom.contains(a) || asked.contains(a))
                continue;
            asked.append(a);
            cookies.append(xcb_get_atom_name(m_connection, a));
        }
        for (qsizetype i = 0; i < asked.size(); ++i) {
            XcbReply<xcb_get_atom_name_reply_t> reply(
                xcb_get_atom_name_reply(m_connection, cookies[i], nullptr));
            if (reply)
                remember(asked[i], QByteArray(xcb_get_atom_name_name(reply.get()),
                                              xcb_get_atom_name_name_length(reply.get())));
        }
    }
    QList<QByteArray> found;
    found.reserve(atoms.size());
    for (uint32_t a : atoms)
        found.append(m_byAtom.value(a));
    return found;
}
