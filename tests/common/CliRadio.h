// What the command-line tests share: a fast virtual radio on a pseudo-terminal, the port map
// that names it as port 1, and the shipped language table's texts to compare output with.
#pragma once

#include "lang/LanguageTable.h"
#include "lang/ResourceLookup.h"
#include "emulator/PtyRadio.h"

#include <QFile>
#include <QString>
#include <QtTest>

#include <memory>

namespace tarn::testing {

inline std::unique_ptr<PtyRadio> startRadio(const VirtualRadio::Memory& memory, RadioFaults faults = {})
{
    auto radio = std::make_unique<PtyRadio>();
    radio->setFast(true);
    radio->setMemory(memory);
    radio->setFaults(faults);
    std::string error;
    if (!radio->start(&error))
        qFatal("no pseudo-terminal: %s", error.c_str());
    return radio;
}

inline QString portsFor(const PtyRadio& radio)
{
    return QStringLiteral("1=") + QString::fromStdString(radio.slavePath());
}

// Language string n of column `column` of the shipped lang.csv.
inline QString language(int column, int n)
{
    initTarnResources();
    QFile file(findResourceFile(QStringLiteral("lang.csv")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return LanguageTable::parse(file.readAll(), column).strings.value(n);
}

}  // namespace tarn::testing
