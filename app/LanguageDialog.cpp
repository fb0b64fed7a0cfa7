#include "app/LanguageDialog.h"
#include "radio/LanguageStrings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarn {

LanguageDialog::LanguageDialog(const QStringList& names, int current, const QStringList& texts,
                               QWidget* parent)
    : QDialog(parent), m_list(new QComboBox(this))
{
    auto text = [&](int n) { return n < texts.size() ? texts.at(n) : QString(); };
    setWindowTitle(text(112));

    for (const QString& name : names) {
        if (name.isEmpty())
            break;
        m_list->addItem(name);
    }
    m_list->setCurrentIndex(current >= 0 && current < m_list->count() ? current : -1);
    // The frame has no title: the list is named after the dialog.
    m_list->setAccessibleName(text(112));

    auto* frame = new QGroupBox(this);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_list);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(text(tarn::strings::Ok), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(text(tarn::strings::Cancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);
    setMinimumWidth(260);
}

int LanguageDialog::chosenColumn() const
{
    return m_list->currentIndex();
}

}  // namespace tarn
