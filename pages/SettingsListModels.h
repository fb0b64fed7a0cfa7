// The two large pick lists of the optional functions page as models: an offset list whose
// entries are computed when the list asks for them (up to 28000 per band), and the 261 tone
// texts held once and shared by every tone list of the page. Also how the pages' lists
// take the mouse wheel.
#pragma once

#include <QAbstractListModel>
#include <QStringListModel>

class QComboBox;

namespace tarn {

class OffsetListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit OffsetListModel(QObject* parent = nullptr);

    int step() const { return m_step; }
    // Empties the list and fills it again for another step.
    void setStep(int stepIndex);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    int m_step = 0;
    int m_count = 0;
};

// The tone list: the off text, then the 50 CTCSS and 210 DCS texts.
QStringListModel* createToneListModel(const QString& offText, QObject* parent);

// The wheel changes the list's choice only while the list has the keyboard focus; over a
// list without it the wheel scrolls the page as it does everywhere else, and the list does
// not take the focus from the wheel either.
void takeWheelOnlyWithFocus(QComboBox* list);

}  // namespace tarn
