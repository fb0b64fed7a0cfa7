// Every question and notice the main window puts to the user, behind one interface: the
// window asks through it, the default answers with the real dialogs, tests put their
// own answers in.
#pragma once

#include <QString>
#include <QStringList>

class QPrintDialog;
class QPrintPreviewDialog;
class QWidget;

namespace tarn {

class BackupsDialog;
class PortDialog;

class FramePrompts {
public:
    virtual ~FramePrompts() = default;

    // The language strings the dialogs' own texts come from (the frame's, set by the frame).
    void setLanguageStrings(const QStringList* strings) { m_strings = strings; }

    // The program's message dialog; QDialog::Accepted when the user pressed its button.
    virtual int showMessage(QWidget* parent, const QString& title, const QString& buttonText,
                            const QString& text);
    // The message dialog with a row of buttons: the index of the button pressed, -1 when it
    // was closed without one.
    virtual int askChoice(QWidget* parent, const QString& title, const QStringList& buttonTexts,
                          const QString& text);
    // The same with lines too many for the message (a verify's differences, the changes a
    // write would make) in a scrolling list below it, in the same box.
    virtual int askWithDetails(QWidget* parent, const QString& title, const QStringList& buttonTexts,
                               const QString& text, const QStringList& details);
    // The file dialogs of File/Open and File/Save. An empty path means cancelled.
    virtual QString askOpenPath(QWidget* parent);
    virtual QString askSavePath(QWidget* parent);
    // Asked before a save replaces a file the dialog did not name (".tw" was appended).
    virtual bool confirmOverwrite(QWidget* parent, const QString& title, const QString& path);
    // Reports a save that failed, with the system's reason.
    virtual void reportSaveError(QWidget* parent, const QString& title, const QString& path,
                                 const QString& reason);
    // The port dialog's modal loop; returns the dialog result.
    virtual int runPortDialog(PortDialog& dialog);
    // The print dialog's and the print preview's modal loops; return the dialog result.
    virtual int runPrintDialog(QPrintDialog& dialog);
    virtual int runPrintPreview(QPrintPreviewDialog& dialog);
    // The file dialog of Export PDF, with the file type's filter text. Empty: cancelled.
    virtual QString askPdfPath(QWidget* parent, const QString& filter);
    // The list of backups (File > Backups); returns the dialog result.
    virtual int runBackupsDialog(BackupsDialog& dialog);
    // A CSV file to export the channels to (save) or to import them from; `filter` is the
    // file type text of the dialog.
    virtual QString askCsvPath(QWidget* parent, bool save, const QString& filter);
    // What does not fit the message dialog (a verify's verdict and differences, backups that
    // were not kept): `summary` above the lines (either may be empty), one button.
    virtual void showReport(QWidget* parent, const QString& title, const QString& buttonText,
                            const QString& summary, const QStringList& lines);

protected:
    // Language string n, or `english` where the table has none.
    QString text(int n, const char* english) const;
    // "tw Files (*.tw);;All Files (*)" in the chosen language.
    QString configurationFilter() const;
    QString allFilesFilter() const;

private:
    const QStringList* m_strings = nullptr;
};

}  // namespace tarn
