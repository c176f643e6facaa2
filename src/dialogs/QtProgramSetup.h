#pragma once

// What both programs set up on Qt once their QApplication exists, undone when it goes:
// - Qt's own texts (standard buttons, file dialogs, the text boxes' menus) in Chinese, from Qt's
//   translations (Debian: qt6-translations-l10n); the message boxes' buttons read 确定/取消/是/否
//   even where that package is missing;
// - Qt's own settings (the file dialogs' last folder, history and sidebar) kept in a folder of
//   this run, removed at its end: nothing survives a run, and no earlier run's folder comes back.

#include <QLibraryInfo>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class QTranslator;

namespace quillet {

class QtProgramSetup
{
public:
    explicit QtProgramSetup(
        const QString& qtTranslationsFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    ~QtProgramSetup();
    QtProgramSetup(const QtProgramSetup&) = delete;
    QtProgramSetup& operator=(const QtProgramSetup&) = delete;

    // Whether Qt's own Chinese translation was found and loaded.
    bool qtTranslationLoaded() const;

private:
    std::unique_ptr<QTranslator> m_qt;
    std::unique_ptr<QTranslator> m_buttons;
    QTemporaryDir m_settings;
};

} // namespace quillet
