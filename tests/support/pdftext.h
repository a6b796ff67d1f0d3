#pragma once

#include <QProcess>
#include <QString>

// The text of a PDF as pdftotext (poppler-utils) lays it out on the page; a note in angle
// brackets when it cannot be read. Laid out: without -layout pdftotext joins a line that ends
// in "-" (a rule of dashes) with the next one as a hyphenated word.
inline QString pdfLayoutText(const QString &file)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), file,
                   QStringLiteral("-")});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return QStringLiteral("<pdftotext (poppler-utils) could not read %1>").arg(file);
    return QString::fromUtf8(process.readAllStandardOutput());
}
