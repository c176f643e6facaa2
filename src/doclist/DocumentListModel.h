#pragma once

#include <QAbstractListModel>

namespace quillet {

class DocumentList;

// The document list as the list view shows it: one column headed "文件", one row per entry.
// Read-only; it follows every change of the list, and shows nothing once the list is gone.
class DocumentListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit DocumentListModel(DocumentList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    DocumentList* m_list;
};

} // namespace quillet
