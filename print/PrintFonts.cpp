#include "print/PrintFonts.h"

namespace tarn::print {

QFont printFont(PrintFont font)
{
    const bool fixed = font != PrintFont::Body;
    QFont f(QString::fromLatin1(fixed ? FixedPitchFamily : SerifFamily), font == PrintFont::Metrics ? 9 : 10);
    // Where the face is missing, the nearest of the same kind rather than any face.
    f.setStyleHint(fixed ? QFont::TypeWriter : QFont::Serif);
    f.setFixedPitch(fixed);
    return f;
}

}  // namespace tarn::print
