#include "doclist/FolderBrowser.h"

#include "platform/Dialogs.h"

namespace quillet {

FolderBrowser::FolderBrowser(Dialogs& dialogs) : m_dialogs(dialogs) {}

void FolderBrowser::GetFolder()
{
    Folder = m_dialogs.chooseFolder(Caption.isEmpty() ? DefaultCaption : Caption, Owner);
}

} // namespace quillet
