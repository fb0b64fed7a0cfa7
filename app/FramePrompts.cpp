#include "app/FramePrompts.h"

#include "app/BackupsDialog.h"
#include "link/MessageDialog.h"
#include "link/PortDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarn {

namespace {

// Tarn's own texts of the file dialogs and the two standard boxes.
constexpr int AlreadyExists = 435;    // "%1 already exists."
constexpr int ReplaceIt = 436;        // "Do you want to replace it?"
constexpr int CannotSave = 437;       // "Cannot save %1:"
constexpr int TwFiles = 438;
constexpr int AllFiles = 439;

}  // namespace

QString FramePrompts::text(int n, const char* english) const
{
    const QString shown = m_strings && n >= 0 && n < m_strings->size() ? m_strings->at(n) : QString();
    return shown.isEmpty() ? QString::fromUtf8(english) : shown;
}

QString FramePrompts::allFilesFilter() const
{
    return text(AllFiles, "All Files (*)");
}

QString FramePrompts::configurationFilter() const
{
    return text(TwFiles, "tw Files (*.tw)") + QStringLiteral(";;") + allFilesFilter();
}

int FramePrompts::showMessage(QWidget* parent, const QString& title, const QString& buttonText,
                              const QString& text)
{
    return MessageDialog::show(parent, title, buttonText, text);
}

int FramePrompts::askChoice(QWidget* parent, const QString& title, const QStringList& buttonTexts,
                            const QString& text)
{
    return MessageDialog::ask(parent, title, buttonTexts, text);
}

int FramePrompts::askWithDetails(QWidget* parent, const QString& title, const QStringList& buttonTexts,
                                 const QString& text, const QStringList& details)
{
    return MessageDialog::ask(parent, title, buttonTexts, text, details);
}

QString FramePrompts::askOpenPath(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), configurationFilter());
}

QString FramePrompts::askSavePath(QWidget* parent)
{
    return QFileDialog::getSaveFileName(parent, QString(), QString(), configurationFilter());
}

bool FramePrompts::confirmOverwrite(QWidget* parent, const QString& title, const QString& path)
{
    return QMessageBox::question(parent, title,
                                 text(AlreadyExists, "%1 already exists.").arg(QDir::toNativeSeparators(path))
                                     + QLatin1Char('\n') + text(ReplaceIt, "Do you want to replace it?"))
        == QMessageBox::Yes;
}

void FramePrompts::reportSaveError(QWidget* parent, const QString& title, const QString& path,
                                   const QString& reason)
{
    QMessageBox::critical(parent, title,
                          text(CannotSave, "Cannot save %1:").arg(QDir::toNativeSeparators(path)) + QLatin1Char('\n')
                              + reason);
}

int FramePrompts::runPortDialog(PortDialog& dialog)
{
    return dialog.exec();
}

int FramePrompts::runPrintDialog(QPrintDialog& dialog)
{
    return dialog.exec();
}

int FramePrompts::runPrintPreview(QPrintPreviewDialog& dialog)
{
    // Qt's default size shows a page too small to read: take most of the screen.
    if (const QScreen* screen = dialog.parentWidget() ? dialog.parentWidget()->screen() : dialog.screen()) {
        const QRect area = screen->availableGeometry();
        dialog.resize(area.width() * 4 / 5, area.height() * 9 / 10);
    }
    return dialog.exec();
}

QString FramePrompts::askPdfPath(QWidget* parent, const QString& filter)
{
    QString path = QFileDialog::getSaveFileName(parent, QString(), QString(), filter + QStringLiteral(";;") + allFilesFilter());
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    return path;
}

int FramePrompts::runBackupsDialog(BackupsDialog& dialog)
{
    return dialog.exec();
}

QString FramePrompts::askCsvPath(QWidget* parent, bool save, const QString& filter)
{
    const QString filters = filter + QStringLiteral(";;") + allFilesFilter();
    if (!save)
        return QFileDialog::getOpenFileName(parent, QString(), QString(), filters);
    // A name typed without an ending still lands where Import channels looks for it.
    QString path = QFileDialog::getSaveFileName(parent, QString(), QString(), filters);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    return path;
}

void FramePrompts::showReport(QWidget* parent, const QString& title, const QString& buttonText, const QString& summary,
                              const QStringList& lines)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    if (!summary.isEmpty())
        layout->addWidget(new QLabel(summary, &dialog));
    if (!lines.isEmpty()) {
        auto* list = new QPlainTextEdit(lines.join(QLatin1Char('\n')), &dialog);
        list->setReadOnly(true);
        list->setLineWrapMode(QPlainTextEdit::NoWrap);
        list->setMinimumSize(560, 240);
        layout->addWidget(list);
    }
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(buttonText, QDialogButtonBox::AcceptRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.exec();
}

}  // namespace tarn
