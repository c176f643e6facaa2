#pragma once

#include <QString>
#include <QStringList>

namespace quillet {

class Dialogs;
class OptionsSource;

// The controls a batch job locks while it runs.
enum class JobControl
{
    CmdDo,
    CmdPicExtract,
    txtOutDir,
    txtLog
};

// What a batch job needs from the main window. The window implements it; tests script it. Every
// call comes from the thread that runs the job.
class JobWindow
{
public:
    virtual ~JobWindow();

    // The document list, in list order.
    virtual QStringList documentPaths() const = 0;

    // The options as the window shows them at the moment of the call.
    virtual const OptionsSource& jobOptions() const = 0;
    // Writes the output folder box (txtOutDir).
    virtual void setOutputFolderText(const QString& text) = 0;
    // Selects "全部" (OptSlidesAll) with the same effect as the user's click.
    virtual void selectAllPages() = 0;

    virtual void setJobControlEnabled(JobControl control, bool enabled) = 0;
    // The busy mouse pointer on or off.
    virtual void setBusy(bool busy) = 0;
    // Sets lblProcessing's text and shows it at once, although the job keeps the event loop.
    virtual void showProgress(const QString& text) = 0;
    // Lets the window repaint during a long document without running any input handler.
    virtual void keepAlive() = 0;

    // The browse commands, as if the user had pressed "..." beside the box.
    virtual void chooseOutputFolder() = 0; // Command2_Click
    virtual void chooseLogFile() = 0;      // Command1_Click

    virtual Dialogs& dialogs() = 0;
};

} // namespace quillet
