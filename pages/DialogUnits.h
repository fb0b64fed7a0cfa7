// The page forms are laid out in dialog units, as their templates give them: a quarter of
// the font's average character width across and an eighth of its height down. One helper
// scales every page's template with the page's own font.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace tarn {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    // The base units in pixels (average character width, character height).
    DialogUnits(int baseWidth, int baseHeight) : m_baseWidth(baseWidth), m_baseHeight(baseHeight) {}

    int x(int units) const;
    int y(int units) const;
    QPoint point(int x, int y) const { return {this->x(x), this->y(y)}; }
    QSize size(int width, int height) const { return {x(width), y(height)}; }
    QRect rect(int x, int y, int width, int height) const { return {point(x, y), size(width, height)}; }

private:
    int m_baseWidth;
    int m_baseHeight;
};

// Fills `page` with a scroll area around a form of the template's size and returns the
// form, for the controls to be placed on in dialog units. The form keeps its arrangement;
// scroll bars appear only while the page is smaller than the form.
QWidget* addTemplateForm(QWidget* page, const DialogUnits& units, int widthUnits, int heightUnits);

// Shrinks a template form to what its controls take, with the margin before the first
// control kept after the last one: a template larger than its controls would show scroll
// bars over empty space. Returns the form's size.
QSize fitFormToControls(QWidget* form);

}  // namespace tarn
