#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

namespace quillet {

// The work queue of both batch jobs: full document paths, exactly as they were added, in the
// order they were added, each at most once (exact, case-sensitive comparison).
//
// Membership is answered from a hash set kept beside the ordered entries, so adding a whole
// folder tree costs time in proportion to the number of paths, not its square.
class DocumentList : public QObject
{
    Q_OBJECT

public:
    explicit DocumentList(QObject* parent = nullptr);

    // The add-unless-present step every way of filling the list goes through.
    // Returns true when the path was appended.
    bool AddToList(const QString& path);
    bool IsInList(const QString& path) const;

    qsizetype count() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    // row counts from 0.
    const QString& at(qsizetype row) const { return m_entries.at(row); }
    const QStringList& entries() const { return m_entries; }

    // Out-of-range rows are ignored.
    void removeAt(qsizetype row);
    void clear();

signals:
    // Emitted around every change, so that a view model can follow it row by row.
    void aboutToAppend(qsizetype row);
    void appended(qsizetype row);
    void aboutToRemove(qsizetype row);
    void removed(qsizetype row);
    void aboutToClear();
    void cleared();

private:
    QStringList m_entries;
    QSet<QString> m_index;
};

} // namespace quillet
