#include "app/ToolTipText.h"

namespace tarn {

QString toolTipFromMenuText(const QString& menuText)
{
    QString text = menuText;
    const qsizetype paren = text.indexOf(QLatin1Char('('));
    if (paren >= 0)
        text.truncate(paren);
    // A tool tip ends at the tab before the shortcut text and shows "&&" as one "&".
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0)
        text.truncate(tab);
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            // "&&" is a literal "&"; a single "&" only marks the mnemonic.
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
                shown += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        shown += text[i];
    }
    return shown.left(MaxToolTipLength);
}

}  // namespace tarn
