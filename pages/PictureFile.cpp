#include "pages/PictureFile.h"

#include "lang/ResourceLookup.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace tarn {

// Three blanks between the words, as users of the program know them.
const QString PictureFile::CannotOpenText = QStringLiteral("Can't   Open   Image   File!");
const QString PictureFile::CannotDecodeText = QStringLiteral("Error   Loading   Picture   From   Stream!");
const QString PictureFile::CannotRenderText = QStringLiteral("Failed   To   Render   The   picture!");

std::function<QString(const QString&)>& PictureFile::lookup()
{
    static std::function<QString(const QString&)> find = [](const QString& name) {
        return tarn::findResourceFile(name);
    };
    return find;
}

std::function<void(QWidget*, const QString&)>& PictureFile::messageSink()
{
    static std::function<void(QWidget*, const QString&)> sink = [](QWidget* parent, const QString& text) {
        // Not from inside the paint: the box would make the window paint again under it.
        QPointer<QWidget> owner(parent);
        QTimer::singleShot(0, [owner, text] {
            QMessageBox::warning(owner, QGuiApplication::applicationDisplayName(), text);
        });
    };
    return sink;
}

PictureFile::PictureFile(const QString& name, bool reportMissing) : m_name(name), m_reportMissing(reportMissing)
{
}

void PictureFile::setName(const QString& name)
{
    if (name == m_name)
        return;
    m_name = name;
    m_state = State::Unknown;
    m_reported = State::Unknown;
    m_path.clear();
}

void PictureFile::refresh()
{
    const QString path = lookup() ? lookup()(m_name) : QString();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) {
        m_state = State::Missing;
        m_image = QImage();
        m_scaled = QPixmap();
        m_path.clear();
        return;
    }
    // Decoded again only when another file is found or the file has changed.
    if (m_state != State::Unknown && m_state != State::Missing && path == m_path
        && info.lastModified() == m_modified && info.size() == m_fileSize)
        return;
    m_path = path;
    m_modified = info.lastModified();
    m_fileSize = info.size();
    m_scaled = QPixmap();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_state = State::Missing;
        m_image = QImage();
        return;
    }
    m_image = QImage::fromData(file.readAll());
    m_state = m_image.isNull() ? State::Undecodable : State::Decoded;
    if (m_state == State::Decoded)
        m_reported = State::Unknown;
}

void PictureFile::report(State failure, const QString& text, QWidget* parent)
{
    if (m_reported == failure)
        return;
    m_reported = failure;
    if (messageSink())
        messageSink()(parent, text);
}

bool PictureFile::ShowPicture(QPainter& painter, const QRect& rect, bool fit, QWidget* messageParent)
{
    refresh();
    if (m_state == State::Missing) {
        if (m_reportMissing)
            report(State::Missing, CannotOpenText, messageParent);
        return false;
    }
    if (m_state == State::Undecodable) {
        report(State::Undecodable, CannotDecodeText, messageParent);
        return false;
    }
    m_reported = State::Unknown;
    QSize target = fit ? rect.size() : m_image.size();
    if (target.width() <= 0)
        target.setWidth(m_image.width());
    if (target.height() <= 0)
        target.setHeight(m_image.height());
    if (!painter.isActive()) {
        if (!m_renderReported && messageSink())
            messageSink()(messageParent, CannotRenderText);
        m_renderReported = true;
        return false;
    }
    // Scaled once per size: a resize rescales, a plain repaint only copies.
    if (m_scaled.size() != target)
        m_scaled = QPixmap::fromImage(m_image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    painter.drawPixmap(rect.topLeft(), m_scaled);
    return true;
}

}  // namespace tarn
