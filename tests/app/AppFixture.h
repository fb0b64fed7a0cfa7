// A started application in a working directory of its own that holds the test language
// table (columns: 简体中文 "简N", 繁體中文 "繁N", English "enN").
#pragma once

#include "app/MainFrame.h"
#include "app/RadioApp.h"

#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

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
