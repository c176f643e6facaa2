#include "doclist/DocumentListModel.h"

#include "doclist/DocumentList.h"

namespace quillet {

DocumentListModel::DocumentListModel(DocumentList& list, QObject* parent)
    : QAbstractListModel(parent), m_list(&list)
{
    connect(m_list, &DocumentList::aboutToAppend, this,
            [this](qsizetype row) { beginInsertRows({}, int(row), int(row)); });
    connect(m_list, &DocumentList::appended, this, [this] { endInsertRows(); });
    connect(m_list, &DocumentList::aboutToRemove, this,
            [this](qsizetype row) { beginRemoveRows({}, int(row), int(row)); });
    connect(m_list, &DocumentList::removed, this, [this] { endRemoveRows(); });
    connect(m_list, &DocumentList::aboutToClear, this, [this] { beginResetModel(); });
    connect(m_list, &DocumentList::cleared, this, [this] { endResetModel(); });
    // The window may destroy the list before the view lets go of this model.
    connect(m_list, &QObject::destroyed, this, [this] {
        beginResetModel();
        m_list = nullptr;
        endResetModel();
    });
}

int DocumentListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_list ? 0 : int(m_list->count());
}

QVariant DocumentListModel::data(const QModelIndex& index, int role) const
{
    if (!m_list || !index.isValid() || index.row() >= m_list->count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_list->at(index.row());
    return {};
}

QVariant DocumentListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return QStringLiteral("文件");
    return {};
}

} // namespace quillet
