#include "app/FramePrompts.h"

#include "link/MessageDialog.h"
#include "link/PortDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

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
