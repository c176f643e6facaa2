#pragma once

// Ties the document list to the main window's widgets: the list view shows the list and takes
// file drops, the list buttons run ListCommands, the labels follow the count, and the
// add-folder command opens FrmPath.

#include "doclist/ListCommands.h"

#include <QObject>

class QLabel;
class QTreeView;
class QWidget;

namespace quillet {

class DocumentList;
class DocumentListModel;

class DocumentListPanel : public QObject
{
    Q_OBJECT

public:
    DocumentListPanel(DocumentList& list, Dialogs& dialogs, QTreeView* listView, QLabel* lblInput,
                      QLabel* lblProcessing, QWidget* window);

    ListCommands& commands() { return m_commands; }
    DocumentListModel* model() const { return m_model; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    qsizetype selectedRow() const;

    QTreeView* m_listView;
    DocumentListModel* m_model;
    ListCommands m_commands;
};

} // namespace quillet
