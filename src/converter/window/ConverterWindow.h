#pragma once

// The converter's window: the pictures of one folder, the format, and the conversion with a
// progress bar and one line for each picture that failed. The work runs on a worker thread so the
// window stays alive; the conversion itself lives in PictureConversion.

#include "converter/PictureFolder.h"

#include <QStringList>
#include <QWidget>
#include <atomic>

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QThread;

namespace quillet {
class Dialogs;
class OfficeEngine;
} // namespace quillet

namespace quillet::tessora {

struct ConversionResult;

class ConverterWindow : public QWidget
{
    Q_OBJECT

public:
    // EMF pictures are drawn by `engine`, on the conversion's own thread.
    ConverterWindow(Dialogs& dialogs, OfficeEngine& engine, const QString& folder, QWidget* parent = nullptr);
    ~ConverterWindow() override;

    // Opens the start folder, or asks for one when there is none.
    void openStartFolder();
    // Shows the pictures of folder.
    void openFolder(const QString& folder);

    QString folder() const { return m_folder; }
    bool busy() const;
    // Asks a running conversion to stop after the current picture.
    void cancel();

signals:
    void batchFinished(int converted, int failed);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void chooseFolder();
    void convertSelected();
    void convertAll();
    void convert(const QStringList& sources);
    void itemDone(int index, const ConversionResult& result);
    void finishBatch();
    void setBusy(bool busy);
    OutputFormat chosenFormat() const;
    int chosenDpi() const;

    Dialogs& m_dialogs;
    OfficeEngine& m_engine;
    QString m_folder;
    QStringList m_pictures;
    QLabel* m_folderLabel = nullptr;
    QPushButton* m_chooseFolder = nullptr;
    QListWidget* m_list = nullptr;
    QComboBox* m_format = nullptr;
    QComboBox* m_resolution = nullptr;
    QPushButton* m_convertSelected = nullptr;
    QPushButton* m_convertAll = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QPlainTextEdit* m_report = nullptr;
    QThread* m_worker = nullptr;
    std::atomic_bool m_cancel{false};
    int m_converted = 0;
    int m_failed = 0;
};

} // namespace quillet::tessora
