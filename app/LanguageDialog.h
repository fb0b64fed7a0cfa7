// The language choice: a drop-down list of the language names of lang.csv.
#pragma once

#include <QDialog>

class QComboBox;

namespace tarn {

class LanguageDialog : public QDialog {
    Q_OBJECT
public:
    // `texts` are the main frame's language strings (caption 112, OK 116, Cancel 117).
    LanguageDialog(const QStringList& names, int current, const QStringList& texts,
                   QWidget* parent = nullptr);

    int chosenColumn() const;
    QComboBox* list() const { return m_list; }

private:
    QComboBox* m_list;
};

}  // namespace tarn
