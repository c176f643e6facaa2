#include "doclist/ListCommands.h"

#include "doclist/DocumentList.h"
#include "doclist/DocumentNames.h"
#include "doclist/DroppedFiles.h"
#include "doclist/FolderScan.h"
#include "platform/Dialogs.h"

namespace quillet {

namespace {

const QString kTooManyFilesMessage =
    QStringLiteral("您选择的文件名数超过了Windows系统的最大限制，请分批次加入文件！");
const QString kConfirmClearMessage = QStringLiteral("确定要清空处理列表吗？");

bool isBlank(const QString& text)
{
    for (const QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

} // namespace

ListCommands::ListCommands(DocumentList& list, Dialogs& dialogs, LabelSetter setLabels)
    : m_list(list), m_dialogs(dialogs), m_setLabels(std::move(setLabels))
{}

void ListCommands::CmdFileOp_Click(int index)
{
    switch (index) {
    case AddFiles:
        addFiles();
        break;
    case AddFolder:
        addFolder();
        break;
    case Remove:
        removeSelected();
        break;
    case Clear:
        clearAll();
        break;
    default:
        break;
    }
}

void ListCommands::addFiles()
{
    const std::optional<QStringList> chosen =
        m_dialogs.openFiles(QStringLiteral("新增"), addFilesFilter(m_docxSupported));
    if (!chosen) {
        m_dialogs.message(kTooManyFilesMessage, MessageIcon::Information, MessageButtons::Ok);
        refreshPendingCount();
        return;
    }
    if (chosen->isEmpty())
        return; // cancelled: no change, labels untouched
    for (const QString& path : *chosen) {
        if (!path.isEmpty())
            m_list.AddToList(path);
    }
    refreshPendingCount();
}

void ListCommands::addFolder()
{
    if (!m_askFolder)
        return;
    const FolderRequest request = m_askFolder();
    if (isBlank(request.folder))
        return; // cancelled or nothing typed: no change, labels untouched

    if (m_busy)
        m_busy(true);
    if (request.includeSubfolders)
        ScanFolder(m_list, request.folder, m_docxSupported);
    else
        addFolderDocuments(m_list, request.folder, m_docxSupported);
    if (m_busy)
        m_busy(false);
    refreshPendingCount();
}

void ListCommands::removeSelected()
{
    const qsizetype row = m_selectedRow ? m_selectedRow() : -1;
    if (row >= 0)
        m_list.removeAt(row);
    refreshPendingCount();
}

void ListCommands::clearAll()
{
    if (m_list.isEmpty())
        return;
    const MessageAnswer answer =
        m_dialogs.message(kConfirmClearMessage, MessageIcon::Question, MessageButtons::YesNo);
    if (answer == MessageAnswer::Yes)
        m_list.clear();
    refreshPendingCount();
}

void ListCommands::ListView2_OLEDragDrop(const QMimeData& data)
{
    const QStringList paths = droppedLocalPaths(data);
    if (paths.isEmpty())
        return; // no local files in the drop: nothing changes
    addDroppedPaths(m_list, paths);
    refreshPendingCount();
}

void ListCommands::refreshPendingCount()
{
    if (m_setLabels)
        m_setLabels(pendingCountText(m_list.count()), QString());
}

} // namespace quillet
