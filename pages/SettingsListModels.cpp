#include "pages/SettingsListModels.h"

#include "radio/Codecs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

namespace tarn {

namespace {

// One filter serves every list of every page.
class WheelGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        auto* list = qobject_cast<QComboBox*>(watched);
        if (!list || list->hasFocus())
            return false;
        // Not the list's: left to the widgets beneath, a scrolling page for one.
        event->ignore();
        return true;
    }
};

}  // namespace

OffsetListModel::OffsetListModel(QObject* parent) : QAbstractListModel(parent)
{
    m_count = tarn::OffsetItemCount(m_step);
}

void OffsetListModel::setStep(int stepIndex)
{
    beginResetModel();
    m_step = stepIndex;
    m_count = tarn::OffsetItemCount(stepIndex);
    endResetModel();
}

int OffsetListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

QVariant OffsetListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_count || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return QString::fromStdString(tarn::OffsetItemText(index.row(), m_step));
}

QStringListModel* createToneListModel(const QString& offText, QObject* parent)
{
    QStringList texts;
    for (const std::string& item : tarn::ToneListItems(offText.toStdString()))
        texts << QString::fromStdString(item);
    return new QStringListModel(texts, parent);
}

void takeWheelOnlyWithFocus(QComboBox* list)
{
    static QPointer<WheelGuard> guard;
    if (!guard)
        guard = new WheelGuard(QCoreApplication::instance());
    list->setFocusPolicy(Qt::StrongFocus);
    list->installEventFilter(guard);
}

}  // namespace tarn
