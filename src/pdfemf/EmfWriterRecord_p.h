#pragma once

// EmfWriter's record under construction, shared by the files that write records.

#include "pdfemf/EmfWriter_p.h"

#include <QtEndian>
#include <cstring>

namespace quillet::pdfemf {

// One record being built: type, size placeholder, then little-endian fields.
class EmfWriter::Record
{
public:
    explicit Record(uint32_t type)
    {
        u32(type);
        u32(0);
    }
    Record& u32(uint32_t v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_bytes.append(b, 4);
        return *this;
    }
    Record& i32(int32_t v) { return u32(uint32_t(v)); }
    Record& u16(uint16_t v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_bytes.append(b, 2);
        return *this;
    }
    Record& f32(float v)
    {
        uint32_t bits;
        memcpy(&bits, &v, 4);
        return u32(bits);
    }
    Record& rect(const EmfRect& r) { return i32(r.left).i32(r.top).i32(r.right).i32(r.bottom); }
    Record& bytes(const char* data, qsizetype size)
    {
        m_bytes.append(data, size);
        return *this;
    }
    Record& pad()
    {
        while (m_bytes.size() % 4)
            m_bytes.append('\0');
        return *this;
    }
    qsizetype size() const { return m_bytes.size(); }
    // The fields after type and size.
    QByteArray body() const { return m_bytes.mid(8); }
    QByteArray finished() const
    {
        QByteArray out = m_bytes;
        qToLittleEndian(uint32_t(out.size()), out.data() + 4);
        return out;
    }

private:
    QByteArray m_bytes;
};

} // namespace quillet::pdfemf
