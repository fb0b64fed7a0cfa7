// A started application in a working directory of its own that holds the test language
// table (columns: 简体中文 "简N", 繁體中文 "繁N", English "enN").
#pragma once

#include "app/FramePrompts.h"
#include "app/MainFrame.h"
#include "app/RadioApp.h"

#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace tarn;

// The frame's prompts with the answers a test gives; where it gives none, the real dialog.
struct ScriptedPrompts : FramePrompts {
    std::function<QString()> openPath;
    std::function<QString()> savePath;
    std::function<bool(const QString& path)> overwrite;
    std::function<void(const QString& path, const QString& reason)> saveError;
    std::function<int(PortDialog& dialog)> portDialog;
    // The CSV file chosen for an export (true) or an import (false).
    std::function<QString(bool save)> csvPath;
    // Reports are not shown in tests: each is kept here, its summary first.
    QList<QStringList> reports;
    // The index of the button to press in a question with several (-1: closed).
    std::function<int(const QStringList& buttons, const QString& text)> choice;

    void showReport(QWidget* parent, const QString& title, const QString& buttonText, const QString& summary,
                    const QStringList& lines) override
    {
        Q_UNUSED(parent);
        Q_UNUSED(title);
        Q_UNUSED(buttonText);
        reports << (QStringList{summary} + lines);
    }
    QString askOpenPath(QWidget* parent) override
    {
        return openPath ? openPath() : FramePrompts::askOpenPath(parent);
    }
    QString askSavePath(QWidget* parent) override
    {
        return savePath ? savePath() : FramePrompts::askSavePath(parent);
    }
    bool confirmOverwrite(QWidget* parent, const QString& title, const QString& path) override
    {
        return overwrite ? overwrite(path) : FramePrompts::confirmOverwrite(parent, title, path);
    }
    void reportSaveError(QWidget* parent, const QString& title, const QString& path, const QString& reason) override
    {
        if (saveError)
            saveError(path, reason);
        else
            FramePrompts::reportSaveError(parent, title, path, reason);
    }
    int askChoice(QWidget* parent, const QString& title, const QStringList& buttons, const QString& text) override
    {
        return choice ? choice(buttons, text) : FramePrompts::askChoice(parent, title, buttons, text);
    }
    QString askCsvPath(QWidget* parent, bool save, const QString& filter) override
    {
        return csvPath ? csvPath(save) : FramePrompts::askCsvPath(parent, save, filter);
    }
    int runPortDialog(PortDialog& dialog) override
    {
        return portDialog ? portDialog(dialog) : FramePrompts::runPortDialog(dialog);
    }
};

// The scripted prompts of a frame made by AppFixture.
inline ScriptedPrompts& scripted(CMainFrame* frame)
{
    return static_cast<ScriptedPrompts&>(frame->prompts());
}

struct AppFixture {
    QTemporaryDir dir;
    QString oldDir = QDir::currentPath();
    std::unique_ptr<CRadioApp> app;

    AppFixture()
    {
        QFile::copy(QStringLiteral(TARN_APP_FIXTURES "/lang.csv"), dir.filePath(QStringLiteral("lang.csv")));
        QDir::setCurrent(dir.path());
        app = std::make_unique<CRadioApp>();
        app->InitInstance(true);
        app->mainFrame()->setPrompts(std::make_unique<ScriptedPrompts>());
    }
    ~AppFixture()
    {
        app.reset();
        QDir::setCurrent(oldDir);
    }
    CMainFrame* frame() const { return app->mainFrame(); }
    // Closed pages are deleted from the event loop; count what is left.
    int openFrames() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return int(frame()->mdiArea()->subWindowList().size());
    }
};
