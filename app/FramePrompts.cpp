#include "app/FramePrompts.h"

#include "app/BackupsDialog.h"
#include "link/MessageDialog.h"
#include "link/PortDialog.h"

#include <QCoreApplication>
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

namespace {

QString configurationFilter()
{
    return QStringLiteral("tw Files (*.tw);;All Files (*)");
}

QString tr(const char* text)
{
    return QCoreApplication::translate("CMainFrame", text);
}

}  // namespace

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
                                 tr("%1 already exists.\nDo you want to replace it?")
                                     .arg(QDir::toNativeSeparators(path)))
        == QMessageBox::Yes;
}

void FramePrompts::reportSaveError(QWidget* parent, const QString& title, const QString& path,
                                   const QString& reason)
{
    QMessageBox::critical(parent, title, tr("Cannot save %1:\n%2").arg(QDir::toNativeSeparators(path), reason));
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
    QString path = QFileDialog::getSaveFileName(parent, QString(), QString(), filter + QStringLiteral(";;All Files (*)"));
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
    const QString filters = filter + QStringLiteral(";;All Files (*)");
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
