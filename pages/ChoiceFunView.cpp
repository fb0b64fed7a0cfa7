#include "pages/ChoiceFunView.h"

#include "pages/SettingsLayout.h"
#include "pages/SettingsListModels.h"
#include "radio/PrintContent.h"
#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"
#include "radio/LanguageStrings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>

namespace tarn {

using settings::Field;
using settings::Rule;
using settings::Section;

namespace {

// Dialog units of the page's template to pixels.
constexpr double UnitX = 1.8;
constexpr double UnitY = 1.75;
constexpr int TemplateWidth = 623;
constexpr int TemplateHeight = 356;
constexpr int RowHeight = 12;  // a list or edit row, dialog units

QRect dialogRect(int x, int y, int w, int h)
{
    return QRect(qRound(x * UnitX), qRound(y * UnitY), qRound(w * UnitX), qRound(h * UnitY));
}

// Width of a general setting's control and where its label starts, by the control's column.
struct Column {
    int x;
    int width;
    int labelX;
};
constexpr Column Columns[] = {{67, 55, 7}, {180, 44, 135}, {226, 90, 136}, {388, 44, 322}};

const Column& columnAt(int x)
{
    for (const Column& column : Columns)
        if (column.x == x)
            return column;
    return Columns[0];
}

// The group boxes of the template: left column, middle column, identity group.
struct GroupBox {
    int id;
    int label;  // language string, -1 for none
    int x, y, w, h;
};
constexpr GroupBox Groups[] = {
    {0, -1, 3, 5, 123, 115},
    {1090, 54, 6, 123, 118, 27},
    {0, -1, 3, 153, 124, 117},
    {0, -1, 131, 5, 95, 58},
    {0, -1, 131, 64, 95, 140},
    {0, -1, 131, 218, 305, 51},
};

constexpr int BandGroupA = 1067;
constexpr int BandGroupB = 1068;
constexpr int BandGroupXA = 230;
constexpr int BandGroupXB = 335;
constexpr int BandControlWidth = 46;

void setId(QWidget* widget, int id)
{
    widget->setObjectName(QStringLiteral("c%1").arg(id));
}

QComboBox* makeList(QWidget* parent, int id, const QRect& rect)
{
    auto* list = new QComboBox(parent);
    setId(list, id);
    list->setGeometry(rect);
    takeWheelOnlyWithFocus(list);
    // Fixed places: never measure every entry (an offset list holds up to 28000).
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* view = qobject_cast<QListView*>(list->view()))
        view->setUniformItemSizes(true);
    return list;
}

QLabel* makeLabel(QWidget* parent, int id, const QString& text, const QRect& rect)
{
    auto* label = new QLabel(text, parent);
    if (id)
        setId(label, id);
    label->setGeometry(rect);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

void selectIndex(QComboBox* list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

}  // namespace

CChoiceFunView::CChoiceFunView(const PageContext& context, QWidget* parent) : PageView(context, parent)
{
    resize(qRound(TemplateWidth * UnitX), qRound(TemplateHeight * UnitY));
    // The template's small system font: the longer labels keep to their places.
    QFont small = font();
    small.setPointSizeF(qMax(7.0, small.pointSizeF() - 1.0));
    setFont(small);
    OnInitialUpdate();
    // Its controls sit at fixed places: a frame smaller than they need scrolls instead of
    // cutting them off.
    const QRect used = childrenRect();
    setMinimumSize(used.right() + 1 + used.left(), used.bottom() + 1 + used.top());
}

CChoiceFunView::~CChoiceFunView()
{
    disconnectControls();
}

std::string CChoiceFunView::offText() const
{
    return languageString(strings::Off).toStdString();
}

LanguageText CChoiceFunView::languageText() const
{
    return [this](int n) { return languageString(n).toStdString(); };
}

void CChoiceFunView::OnInitialUpdate()
{
    setWindowTitle(languageString(27));
    for (const GroupBox& g : Groups) {
        auto* box = new QGroupBox(g.label >= 0 ? languageString(g.label) : QString(), this);
        if (g.id)
            setId(box, g.id);
        box->setGeometry(dialogRect(g.x, g.y, g.w, g.h));
    }
    m_tones = createToneListModel(languageString(strings::Off), this);
    buildGeneralControls();
    buildBandGroup(Band::A);
    buildBandGroup(Band::B);
    watchMouseMoves();
    watchChanges();
    LoadFromImage();
}

void CChoiceFunView::buildGeneralControls()
{
    const LanguageText text = languageText();
    const auto& fields = settings::Fields();
    m_fields.resize(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const Field& field = fields[i];
        if (!IsOptionsPageField(field))
            continue;
        FieldControl& control = m_fields[i];
        const SettingPlace& place = PlaceOf(field.key);
        const bool hidden = field.section == Section::Hidden;
        const Column& column = columnAt(place.x);
        const QRect rect = dialogRect(place.x, place.y, column.width, RowHeight);
        QWidget* widget = nullptr;
        if (field.rule == Rule::List) {
            control.list = makeList(this, place.control, rect);
            if (hidden && !place.templateEntries.empty()) {
                for (const std::string& entry : place.templateEntries)
                    control.list->addItem(QString::fromStdString(entry));
            } else {
                for (const settings::EntryText& entry : field.entries)
                    control.list->addItem(QString::fromStdString(settings::EntryTextOf(entry, text)));
            }
            widget = control.list;
        } else if (settings::IsCheckRule(field.rule)) {
            control.check = new QCheckBox(hidden ? QString() : languageString(field.label), this);
            control.check->setGeometry(dialogRect(place.x, place.y, 110, 10));
            widget = control.check;
        } else {
            control.edit = new QLineEdit(this);
            control.edit->setGeometry(rect);
            if (field.rule != Rule::Digits)
                control.edit->setMaxLength(settings::TextLength);
            if (field.rule != Rule::HiddenText)
                connect(control.edit, &QLineEdit::textEdited, this, [this, i] { onFieldEdited(i); });
            widget = control.edit;
        }
        setId(widget, place.control);
        if (hidden) {
            widget->hide();
            continue;
        }
        // A screen reader names the control by its label.
        widget->setAccessibleName(languageString(field.label).trimmed());
        if (place.labelControl) {
            const QRect labelRect = dialogRect(column.labelX, place.y - 3, place.x - column.labelX - 2, RowHeight + 6);
            makeLabel(this, place.labelControl, languageString(field.label), labelRect)->setBuddy(widget);
        }
    }
}

void CChoiceFunView::buildBandGroup(Band band)
{
    const bool a = band == Band::A;
    BandControls& c = bandControls(band);
    const int groupX = a ? BandGroupXA : BandGroupXB;
    auto* group = new QGroupBox(languageString(a ? 72 : 73), this);
    setId(group, a ? BandGroupA : BandGroupB);
    group->setGeometry(dialogRect(groupX, 5, 101, 213));
    group->lower();

    const LanguageText text = languageText();
    c.offsets = new OffsetListModel(this);
    for (const BandField& field : BandFields()) {
        const SettingPlace& place = PlaceOf(BandSettingKey(band, field.key));
        const int id = place.control;
        const int x = place.x;
        const int y = place.y;
        const QRect rect = dialogRect(x, y, BandControlWidth, RowHeight);
        if (field.id == BandFieldId::Frequency) {
            c.frequency = new QLineEdit(this);
            setId(c.frequency, id);
            c.frequency->setGeometry(rect);
            connect(c.frequency, &QLineEdit::textEdited, this, [this, band] { onFrequencyEdited(band); });
            // Leaving the box or Enter ends the typing: then the text snaps to the step.
            connect(c.frequency, &QLineEdit::editingFinished, this, [this, band] { snapFrequency(band); });
        } else {
            QRect listRect = rect;
            if (field.id == BandFieldId::DisplayMode)
                listRect = dialogRect(groupX + 22, y, 76, RowHeight);
            else if (field.id == BandFieldId::Offset)  // room for MM.FFFFF0 beside the arrow
                listRect = dialogRect(x - 8, y, BandControlWidth + 8, RowHeight);
            QComboBox* list = makeList(this, id, listRect);
            for (const settings::EntryText& entry : field.entries)
                list->addItem(QString::fromStdString(settings::EntryTextOf(entry, text)));
            c.lists[static_cast<int>(field.id)] = list;
            if (field.id == BandFieldId::TxTone || field.id == BandFieldId::RxTone)
                list->setModel(m_tones);
            else if (field.id == BandFieldId::Offset)
                list->setModel(c.offsets);
            if (field.hidden)
                list->hide();
        }
        if (field.hidden)
            continue;
        const int labelId = place.labelControl;
        const QString label = languageString(a ? field.labelA : field.labelB);
        QWidget* widget = field.id == BandFieldId::Frequency ? static_cast<QWidget*>(c.frequency)
                                                             : c.lists[static_cast<int>(field.id)];
        // Both bands have the same labels: the band's title tells them apart.
        widget->setAccessibleName(label.trimmed());
        widget->setAccessibleDescription(languageString(a ? 72 : 73));
        QLabel* shown = nullptr;
        if (field.id == BandFieldId::DisplayMode) {
            shown = makeLabel(this, labelId, label, dialogRect(groupX + 4, y - 11, 94, 10));
        } else if (field.id == BandFieldId::Offset) {
            // The unit under the label: the list keeps its width for the nine-character texts.
            shown = makeLabel(this, labelId, label, dialogRect(groupX + 3, y - 4, x - groupX - 12, 9));
            makeLabel(this, 0, QStringLiteral("MHZ"), dialogRect(groupX + 3, y + 5, x - groupX - 12, 9));
            widget->setAccessibleName(label.trimmed() + QStringLiteral(" (MHz)"));
        } else {
            shown = makeLabel(this, labelId, label, dialogRect(groupX + 3, y - 3, x - groupX - 4, RowHeight + 6));
        }
        shown->setBuddy(widget);
    }
    connect(c.list(BandFieldId::Step), &QComboBox::activated, this, [this, band] { onStepChanged(band); });
    connect(c.list(BandFieldId::DisplayMode), &QComboBox::activated, this, [this, band] { onDisplayModeChanged(band); });
}

void CChoiceFunView::watchChanges()
{
    // A list choice, a click on a check box, an edit box left or confirmed with Enter: each
    // is one step of the history, named by the control's label. These run after the
    // page's own handlers of the same signals.
    const auto& fields = settings::Fields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldControl& control = m_fields[i];
        const QString name = languageString(fields[i].label);
        auto record = [this, name] { recordChange(name); };
        if (control.list)
            connect(control.list, &QComboBox::activated, this, record);
        else if (control.check)
            connect(control.check, &QCheckBox::clicked, this, record);
        else if (control.edit)
            connect(control.edit, &QLineEdit::editingFinished, this, record);
    }
    for (Band band : {Band::A, Band::B}) {
        const bool a = band == Band::A;
        const BandControls& c = bandControls(band);
        for (const BandField& field : BandFields()) {
            const QString name = languageString(a ? 72 : 73) + QLatin1Char(' ') + languageString(a ? field.labelA : field.labelB);
            auto record = [this, name] { recordChange(name); };
            if (field.id == BandFieldId::Frequency)
                connect(c.frequency, &QLineEdit::editingFinished, this, record);
            else if (QComboBox* list = c.list(field.id))
                connect(list, &QComboBox::activated, this, record);
        }
    }
}

void CChoiceFunView::watchMouseMoves()
{
    setMouseTracking(true);
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setMouseTracking(true);
        child->installEventFilter(this);
    }
}

QWidget* CChoiceFunView::control(int id) const
{
    return findChild<QWidget*>(QStringLiteral("c%1").arg(id));
}

QWidget* CChoiceFunView::settingControl(std::string_view key) const
{
    const SettingPlace* place = FindPlace(key);
    return place ? control(place->control) : nullptr;
}

void CChoiceFunView::addToPrint(PrintContent& content) const
{
    auto add = [&](const std::string& key) {
        ControlState state;
        QWidget* widget = settingControl(key);
        if (auto* list = qobject_cast<QComboBox*>(widget)) {
            state.text = list->currentText().toStdString();
            state.selection = list->currentIndex();
        } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
            state.checked = check->isChecked();
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            state.text = edit->text().toStdString();
        } else {
            return;
        }
        content.options[key] = state;
    };
    for (const settings::Field& field : settings::Fields())
        if (IsOptionsPageField(field))
            add(std::string(field.key));
    for (const BandField& row : BandFields()) {
        add(BandSettingKey(Band::A, row.key));
        add(BandSettingKey(Band::B, row.key));
    }
}

OptionsValues CChoiceFunView::takeValues() const
{
    OptionsValues values;
    const auto& fields = settings::Fields();
    values.fields.resize(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldControl& control = m_fields[i];
        settings::FieldValue& value = values.fields[i];
        if (control.list)
            value.index = control.list->currentIndex();
        else if (control.check)
            value.index = control.check->isChecked() ? 1 : 0;
        else if (control.edit)
            // One character per byte: the start-up and hidden texts carry raw bytes.
            value.text = control.edit->text().toLatin1().toStdString();
    }
    for (Band band : {Band::A, Band::B}) {
        const BandControls& c = m_bands[band == Band::A ? 0 : 1];
        BandSettings& v = values.band(band);
        v.frequency = c.frequency->text().toStdString();
        for (const BandField& field : BandFields())
            if (int* selection = BandSelection(v, field.id))
                *selection = c.list(field.id)->currentIndex();
        auto toneText = [](const QComboBox* list) {
            return list->currentIndex() >= 0 ? list->currentText().toStdString() : std::string();
        };
        v.rxTone = toneText(c.list(BandFieldId::RxTone));
        v.txTone = toneText(c.list(BandFieldId::TxTone));
    }
    return values;
}

void CChoiceFunView::pushValues(const OptionsValues& values)
{
    // Pushing values is not the user's doing: no handler runs.
    std::vector<QSignalBlocker> blockers;
    blockers.reserve(64);
    for (QWidget* child : findChildren<QWidget*>())
        blockers.emplace_back(child);

    const auto& fields = settings::Fields();
    for (std::size_t i = 0; i < fields.size() && i < values.fields.size(); ++i) {
        FieldControl& control = m_fields[i];
        const settings::FieldValue& value = values.fields[i];
        if (control.list) {
            selectIndex(control.list, value.index);
        } else if (control.check) {
            control.check->setChecked(value.index == 1);
        } else if (control.edit) {
            control.heldText = QString::fromLatin1(value.text.data(), static_cast<qsizetype>(value.text.size()));
            control.edit->setText(control.heldText);
        }
    }
    for (Band band : {Band::A, Band::B}) {
        BandControls& c = bandControls(band);
        const BandSettings& v = values.band(band);
        c.heldFrequency = QString::fromStdString(v.frequency);
        c.frequency->setText(c.heldFrequency);
        // The offset list follows the step before its entry is chosen.
        if (c.offsets->step() != v.step)
            c.offsets->setStep(v.step);
        for (const BandField& field : BandFields())
            if (const int* selection = BandSelection(v, field.id))
                selectIndex(c.list(field.id), *selection);
        // A tone the list cannot show leaves it without a selection, never the previous one.
        auto selectTone = [](QComboBox* list, const std::string& text) {
            list->setCurrentIndex(text.empty() ? -1 : list->findText(QString::fromStdString(text)));
        };
        selectTone(c.list(BandFieldId::RxTone), v.rxTone);
        selectTone(c.list(BandFieldId::TxTone), v.txTone);
    }
}

void CChoiceFunView::LoadFromImage()
{
    if (!hasImage())
        return;
    pushValues(LoadOptions(image(), offText()));
    // A frequency typed before the load is gone from the box: nothing is left to normalize.
    m_pending = Pending::None;
    m_shownValues = takeValues();
}

void CChoiceFunView::store()
{
    OptionsValues values = takeValues();
    const StoreNotices notices = StoreOptions(image(), values, offText());
    const std::string message = NoticeText(notices, languageText());
    if (!message.empty())
        showMessage(QString::fromStdString(message));
    pushValues(values);
    m_shownValues = takeValues();
}

void CChoiceFunView::storeInto(RadioImage& target) const
{
    OptionsValues values = takeValues();
    StoreOptions(target, values, offText());
}

void CChoiceFunView::commitPending()
{
    // A frequency still being typed is taken as when the box is left.
    normalizePending(nullptr);
}

bool CChoiceFunView::hasUnstoredEdits() const
{
    if (!hasImage())
        return false;
    // Both stores go to copies of the image; their notices are not shown.
    RadioImage edited = image();
    OptionsValues values = takeValues();
    StoreOptions(edited, values, offText());
    RadioImage shown = image();
    OptionsValues shownValues = m_shownValues;
    StoreOptions(shown, shownValues, offText());
    return !(edited == shown);
}

void CChoiceFunView::onFieldEdited(std::size_t i)
{
    const Field& field = settings::Fields()[i];
    FieldControl& control = m_fields[i];
    const std::string text = control.edit->text().toLatin1().toStdString();
    bool accepted = false;
    switch (field.rule) {
    case Rule::Digits:
        accepted = settings::IsAcceptableDigitText(text);
        break;
    case Rule::DtmfId:
        accepted = settings::IsAcceptableDtmfText(text);
        break;
    case Rule::StartupText:
        // Characters outside Latin-1 have no byte at all; toLatin1 would turn them into "?".
        accepted = control.edit->text() == QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))
            && settings::IsAcceptableStartupText(text, control.heldText.toLatin1().toStdString());
        break;
    default:
        accepted = true;
        break;
    }
    if (!accepted) {
        const QSignalBlocker blocker(control.edit);
        control.edit->setText(control.heldText);
        return;
    }
    control.heldText = control.edit->text();
}

void CChoiceFunView::onFrequencyEdited(Band band)
{
    BandControls& c = bandControls(band);
    if (IsAcceptableFrequencyText(c.frequency->text().toStdString())) {
        c.heldFrequency = c.frequency->text();
    } else {
        const QSignalBlocker blocker(c.frequency);
        c.frequency->setText(c.heldFrequency);
    }
    m_pending = band == Band::A ? Pending::BandA : Pending::BandB;
}

void CChoiceFunView::onStepChanged(Band band)
{
    if (!hasImage())
        return;
    OptionsValues values = takeValues();
    BandSettings& v = values.band(band);
    bandControls(band).offsets->setStep(v.step);
    ChangeStep(image(), band, v, v.step);
    pushValues(values);
}

void CChoiceFunView::onDisplayModeChanged(Band band)
{
    OptionsValues values = takeValues();
    const Band other = band == Band::A ? Band::B : Band::A;
    CoupleDisplayModes(values.band(band), values.band(other));
    pushValues(values);
}

void CChoiceFunView::normalizePending(QObject* under)
{
    if (m_pending == Pending::None)
        return;
    const Band band = m_pending == Pending::BandA ? Band::A : Band::B;
    const BandControls& c = bandControls(band);
    // A box still being typed in keeps the text as typed: snapping "14" to the lowest
    // frequency would refuse the rest of "145.5". Leaving the box snaps it.
    if (under == c.frequency || c.frequency->hasFocus())
        return;
    snapFrequency(band);
}

void CChoiceFunView::snapFrequency(Band band)
{
    if (m_pending != (band == Band::A ? Pending::BandA : Pending::BandB))
        return;
    OptionsValues values = takeValues();
    BandSettings& v = values.band(band);
    // An emptied box stays empty: that is how a band is left without a frequency.
    NormalizeTypedFrequency(v.frequency, v.step);
    pushValues(values);
    m_pending = Pending::None;
}

bool CChoiceFunView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove)
        normalizePending(watched);
    return PageView::eventFilter(watched, event);
}

PageView* createOptionsPage(const PageContext& context, QWidget* parent)
{
    return new CChoiceFunView(context, parent);
}

}  // namespace tarn
