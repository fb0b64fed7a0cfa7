// A picture file drawn stretched into a rectangle: the background behind the page windows
// and the radio on the key settings page. The file is found like lang.csv, decoded once
// and kept until the file changes; each failure is reported once, not on every paint.
#pragma once

#include <QDateTime>
#include <QImage>
#include <QPixmap>
#include <QString>

#include <functional>

class QPainter;
class QWidget;

namespace tarn {

class PictureFile {
public:
    // The platform message box texts of the three failures.
    static const QString CannotOpenText;
    static const QString CannotDecodeText;
    static const QString CannotRenderText;

    // `reportMissing`: whether a file that cannot be found or opened is reported.
    explicit PictureFile(const QString& name, bool reportMissing);

    const QString& name() const { return m_name; }
    void setName(const QString& name);

    // Draws the picture into `rect` (stretched with `fit`, else at its own size; an empty
    // width or height takes the picture's own). True when the picture was drawn. A
    // failure's message goes to `messageParent`'s message sink once for this file.
    bool ShowPicture(QPainter& painter, const QRect& rect, bool fit, QWidget* messageParent);

    // Where a name is looked up (the working directory, beside the program, the copy
    // compiled in), and where failures are shown (after the paint, in a standard message
    // box); both replaceable by tests.
    static std::function<QString(const QString& name)>& lookup();
    static std::function<void(QWidget* parent, const QString& text)>& messageSink();

private:
    enum class State { Unknown, Missing, Undecodable, Decoded };
    void refresh();
    void report(State failure, const QString& text, QWidget* parent);

    QString m_name;
    bool m_reportMissing;
    QString m_path;
    QDateTime m_modified;
    qint64 m_fileSize = -1;
    State m_state = State::Unknown;
    QImage m_image;
    QPixmap m_scaled;
    // The failure last reported, so the same one is not shown again.
    State m_reported = State::Unknown;
    bool m_renderReported = false;
};

}  // namespace tarn
