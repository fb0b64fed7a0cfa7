// The about box, worded from the language strings.
#pragma once

#include <QDialog>

namespace tarn {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(const QStringList& texts, const QIcon& icon, QWidget* parent = nullptr);
};

}  // namespace tarn
