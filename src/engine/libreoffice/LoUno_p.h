#pragma once

// Small conversions between Qt and UNO used by the document side of the LibreOffice backend.

#include <QString>
#include <QUrl>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Sequence.hxx>
#include <initializer_list>
#include <rtl/ustring.hxx>
#include <utility>

namespace quillet::lo {

using rtl::OUString;

inline OUString toOUString(const QString& text)
{
    return OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), static_cast<sal_Int32>(text.size()));
}

inline QString toQString(const OUString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

inline OUString fileUrl(const QString& path)
{
    return toOUString(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
}

// A property sequence from name/value pairs: props({{"Hidden", Any(true)}, ...}).
inline com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue>
props(std::initializer_list<std::pair<const char*, com::sun::star::uno::Any>> values)
{
    com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue> result(
        static_cast<sal_Int32>(values.size()));
    auto* out = result.getArray();
    for (const auto& [name, value] : values) {
        out->Name = OUString::createFromAscii(name);
        out->Value = value;
        ++out;
    }
    return result;
}

} // namespace quillet::lo
