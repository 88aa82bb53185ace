#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

// The real program, offscreen, started in a folder of the test's choosing.
inline void startLumivex(QProcess& lumivex, const QString& folder,
                         const std::function<void(QProcessEnvironment&)>& adjust = {}) {
    lumivex.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (adjust)
        adjust(environment);
    lumivex.setProcessEnvironment(environment);
    lumivex.start(QStringLiteral(LUMIVEX_EXECUTABLE), {});
}

// Standard error, line by line.
inline QStringList errorLines(QProcess& lumivex) {
    return QString::fromLocal8Bit(lumivex.readAllStandardError())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
