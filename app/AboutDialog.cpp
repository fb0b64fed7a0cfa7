#include "app/AboutDialog.h"

#include "app/ToolTipText.h"

#include "TarnVersion.h"
#include "radio/LanguageStrings.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace tarn {

AboutDialog::AboutDialog(const QStringList& texts, const QIcon& icon, QWidget* parent)
    : QDialog(parent)
{
    auto text = [&](int n) { return n < texts.size() ? texts.at(n) : QString(); };
    // String 111 is also the menu entry; its mnemonic and "..." do not belong in a caption.
    QString caption = tarn::toolTipFromMenuText(text(111));
    if (caption.endsWith(QStringLiteral("...")))
        caption.chop(3);
    setWindowTitle(caption.trimmed());

    auto* picture = new QLabel(this);
    picture->setPixmap(icon.pixmap(32, 32));
    picture->setAccessibleName(text(tarn::strings::Title));
    // The table holds "%1" where the version of this build goes.
    QString versionText = text(118);
    versionText.replace(QStringLiteral("%1"), QStringLiteral(TARN_VERSION));
    auto* version = new QLabel(versionText, this);
    auto* second = new QLabel(text(119), this);
    auto* third = new QLabel(text(124), this);
    for (QLabel* label : {version, second, third})
        label->setTextFormat(Qt::PlainText);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(text(tarn::strings::Ok), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(second, 1, 1);
    layout->addWidget(third, 2, 1);
    layout->addWidget(buttons, 0, 2, 1, 1, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tarn
