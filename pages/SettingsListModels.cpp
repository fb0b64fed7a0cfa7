#include "pages/SettingsListModels.h"

#include "radio/Codecs.h"

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
