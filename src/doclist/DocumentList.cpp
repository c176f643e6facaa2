#include "doclist/DocumentList.h"

namespace quillet {

DocumentList::DocumentList(QObject* parent) : QObject(parent) {}

bool DocumentList::AddToList(const QString& path)
{
    if (IsInList(path))
        return false;
    const qsizetype row = m_entries.size();
    emit aboutToAppend(row);
    m_entries.append(path);
    m_index.insert(path);
    emit appended(row);
    return true;
}

bool DocumentList::IsInList(const QString& path) const
{
    return m_index.contains(path);
}

void DocumentList::removeAt(qsizetype row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    emit aboutToRemove(row);
    m_index.remove(m_entries.at(row));
    m_entries.removeAt(row);
    emit removed(row);
}

void DocumentList::clear()
{
    if (m_entries.isEmpty())
        return;
    emit aboutToClear();
    m_entries.clear();
    m_index.clear();
    emit cleared();
}

} // namespace quillet
