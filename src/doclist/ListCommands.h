#pragma once

#include <QString>
#include <functional>

class QMimeData;

namespace quillet {

class Dialogs;
class DocumentList;

// What the add-folder dialog hands back: the folder as typed (empty when cancelled) and
// whether its sub-folders are searched too.
struct FolderRequest
{
    QString folder;
    bool includeSubfolders = false;
};

// The commands of the four list buttons and of a drop on the list, apart from any widget: the
// window supplies the pieces it owns (labels, selection, add-folder dialog, busy pointer).
class ListCommands
{
public:
    enum Index
    {
        AddFiles = 0,
        AddFolder = 1,
        Remove = 2,
        Clear = 3
    };

    // Sets the captions of lblInput and lblProcessing.
    using LabelSetter = std::function<void(const QString& input, const QString& processing)>;

    ListCommands(DocumentList& list, Dialogs& dialogs, LabelSetter setLabels);

    void setDocxSupported(bool supported) { m_docxSupported = supported; }
    bool docxSupported() const { return m_docxSupported; }
    // The row of the selected entry, or -1 when none is selected.
    void setSelectedRow(std::function<qsizetype()> selectedRow) { m_selectedRow = std::move(selectedRow); }
    // Shows the add-folder dialog modally and returns its answer.
    void setFolderRequest(std::function<FolderRequest()> ask) { m_askFolder = std::move(ask); }
    // Called with true before a folder search and with false after it (the wait pointer).
    void setBusyIndicator(std::function<void(bool)> busy) { m_busy = std::move(busy); }

    void CmdFileOp_Click(int index);
    void ListView2_OLEDragDrop(const QMimeData& data);

    void addFiles();
    void addFolder();
    void removeSelected();
    void clearAll();
    // lblInput := "待处理文件" + count + "项", lblProcessing := "".
    void refreshPendingCount();

private:
    DocumentList& m_list;
    Dialogs& m_dialogs;
    LabelSetter m_setLabels;
    bool m_docxSupported = false;
    std::function<qsizetype()> m_selectedRow;
    std::function<FolderRequest()> m_askFolder;
    std::function<void(bool)> m_busy;
};

} // namespace quillet
