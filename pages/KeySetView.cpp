#include "pages/KeySetView.h"

#include "pages/DialogUnits.h"
#include "pages/SettingsLayout.h"
#include "pages/SettingsListModels.h"
#include "radio/PrintContent.h"
#include "radio/SettingsTable.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>

namespace tarn {

namespace {

const settings::Field& sideKeyField()
{
    static const settings::Field* field = settings::FindField("sideKey");
    return *field;
}

}  // namespace

PictureFrame::PictureFrame(const QString& pictureName, bool reportMissing, QWidget* parent)
    : QFrame(parent), m_picture(pictureName, reportMissing)
{
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Sunken);
}

void PictureFrame::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    m_picture.ShowPicture(painter, contentsRect(), true, window());
}

CKeySetView::CKeySetView(const PageContext& context, QWidget* parent) : PageView(context, parent)
{
    setWindowTitle(languageString(28));
    // Template: 515 x 361 dialog units.
    const DialogUnits units(font());
    resize(units.size(515, 361));
    QWidget* form = addTemplateForm(this, units, 515, 361);

    auto group = [&](const QString& title, int y) {
        auto* box = new QGroupBox(title, form);
        box->setGeometry(units.rect(25, y, 118, 45));
        return box;
    };
    auto label = [&](const QString& text, int x, int y, int id) {
        auto* widget = new QLabel(text, form);
        widget->move(units.point(x, y));
        widget->adjustSize();
        if (id)
            widget->setObjectName(QStringLiteral("label%1").arg(id));
        return widget;
    };

    group(QStringLiteral("PTT"), 20);
    label(languageString(34), 32, 40, 1047);
    label(languageString(121), 85, 39, 1094);

    const settings::Field& field = sideKeyField();
    const SettingPlace& place = PlaceOf(field.key);
    group(languageString(field.label), 89)->setObjectName(QStringLiteral("group%1").arg(place.labelControl));
    m_sideKey = new QComboBox(form);
    m_sideKey->setObjectName(QStringLiteral("list%1").arg(place.control));
    m_sideKey->setAccessibleName(languageString(field.label).trimmed());
    takeWheelOnlyWithFocus(m_sideKey);
    const LanguageText text = [this](int n) { return languageString(n).toStdString(); };
    for (const settings::EntryText& entry : field.entries)
        m_sideKey->addItem(QString::fromStdString(settings::EntryTextOf(entry, text)));
    m_sideKey->setGeometry(QRect(units.point(place.x, place.y), QSize(units.x(82), m_sideKey->sizeHint().height())));
    connect(m_sideKey, &QComboBox::activated, this, [this] { recordChange(languageString(sideKeyField().label)); });

    group(QStringLiteral("MONI"), 158);
    label(languageString(36), 35, 172, 1049);
    label(QStringLiteral("MONI"), 85, 171, 0);
    label(languageString(37), 34, 188, 1050);
    label(languageString(38), 85, 187, 1051);

    m_picture = new PictureFrame(QString::fromLatin1(PictureName), true, form);
    m_picture->setObjectName(QStringLiteral("frame%1").arg(PictureControl));
    m_picture->setGeometry(units.rect(151, 13, 103, 189));
    m_picture->setAccessibleName(languageString(PictureNameString));

    // The template is larger than its controls: the page opens at what they take, and
    // scrolls only in a window smaller than that.
    resize(fitFormToControls(form));
}

void CKeySetView::LoadFromImage()
{
    if (!hasImage())
        return;
    sideKeySelection = settings::LoadField(image(), sideKeyField()).index;
    m_sideKey->setCurrentIndex(sideKeySelection);
}

void CKeySetView::store()
{
    sideKeySelection = m_sideKey->currentIndex();
    storeInto(image());
}

void CKeySetView::storeInto(RadioImage& target) const
{
    settings::FieldValue value;
    value.index = m_sideKey->currentIndex();
    settings::StoreField(target, sideKeyField(), value);
}

bool CKeySetView::hasUnstoredEdits() const
{
    if (!hasImage())
        return false;
    // The choice on the list and the one last exchanged, each stored into a copy.
    auto stored = [this](int selection) {
        RadioImage copy = image();
        settings::FieldValue value;
        value.index = selection;
        settings::StoreField(copy, sideKeyField(), value);
        return copy;
    };
    return !(stored(m_sideKey->currentIndex()) == stored(sideKeySelection));
}

void CKeySetView::addToPrint(PrintContent& content) const
{
    content.sideKeyText = m_sideKey->currentText().toStdString();
}

PageView* createKeyPage(const PageContext& context, QWidget* parent)
{
    return new CKeySetView(context, parent);
}

}  // namespace tarn
