#include "gui/DocumentListPanel.h"

#include "doclist/DocumentListModel.h"
#include "doclist/DroppedFiles.h"
#include "gui/FrmPath.h"

#include <QApplication>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>
#include <QTreeView>

namespace quillet {

DocumentListPanel::DocumentListPanel(DocumentList& list, Dialogs& dialogs, QTreeView* listView,
                                     QLabel* lblInput, QLabel* lblProcessing, QWidget* window)
    : QObject(listView), m_listView(listView), m_model(new DocumentListModel(list, this)),
      m_commands(list, dialogs, [lblInput, lblProcessing](const QString& input, const QString& processing) {
          lblInput->setText(input);
          lblProcessing->setText(processing);
      })
{
    QAbstractItemModel* placeholder = m_listView->model();
    m_listView->setModel(m_model);
    if (placeholder && placeholder->parent() == m_listView)
        placeholder->deleteLater();
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);

    // Drops land on the viewport; the view's own item drag and drop stays off.
    m_listView->setAcceptDrops(true);
    m_listView->viewport()->setAcceptDrops(true);
    m_listView->viewport()->installEventFilter(this);

    m_commands.setSelectedRow([this] { return selectedRow(); });
    m_commands.setFolderRequest(
        [&dialogs, window, this] { return FrmPath::ask(dialogs, m_commands.docxSupported(), window); });
    m_commands.setBusyIndicator([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
}

qsizetype DocumentListPanel::selectedRow() const
{
    const QItemSelectionModel* selection = m_listView->selectionModel();
    if (!selection)
        return -1;
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

bool DocumentListPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_listView->viewport())
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (droppedLocalPaths(*drag->mimeData()).isEmpty())
            drag->ignore();
        else
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        m_commands.ListView2_OLEDragDrop(*drop->mimeData());
        drop->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}

} // namespace quillet
