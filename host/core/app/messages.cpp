#include "core/app/messages.h"

#include "core/base/logfile.h"

#include <array>

namespace {

using K = MessageKind;

// Texts of the catalogue. 1001..1026 are left by the print engine; the others are shown by
// the windows in the situations their names suggest.
const std::array<CatalogueMessage, 40> catalogue = {{
        {1001, K::Error, QStringLiteral("Für den Rechner %1 ist kein Bondrucker eingerichtet.")},
        {1002, K::Error,
         QStringLiteral("Für den Drucker %1 ist keine Seiteneinrichtung (Papierbreite und Ränder) "
                        "vorhanden.")},
        {1003, K::Error,
         QStringLiteral("Der Druckermodus im Druckersatz des Rechners %1 ist keine Zahl: \"%2\".")},
        {1004, K::Error, QStringLiteral("Der Druckersatz des Rechners %1 ist unvollständig.")},
        {1005, K::Error, QStringLiteral("Der Druckersatz des Rechners %1 ist beschädigt: %2")},
        {1006, K::Error,
         QStringLiteral("Die Seiteneinrichtung des Druckers %1 ist beschädigt: %2")},
        {1007, K::Error, QStringLiteral("Der Layoutsatz %1 konnte nicht gelesen werden: %2")},
        {1008, K::Error, QStringLiteral("Der Drucker %1 ist nicht erreichbar.")},
        {1009, K::Error, QStringLiteral("Der Druckauftrag konnte nicht ausgegeben werden: %1")},
        {1010, K::Error, QStringLiteral("Die Kassenlade konnte nicht geöffnet werden: %1")},
        {1011, K::Error, QStringLiteral("Die Kundenanzeige ist nicht erreichbar: %1")},
        {1012, K::Error, QStringLiteral("Die Schnittstelle %1 kann nicht geöffnet werden.")},
        {1013, K::Error, QStringLiteral("Die Bytesequenz \"%1\" ist keine gültige Hex-Folge.")},
        {1014, K::Error, QStringLiteral("Der Zeichensatz %1 ist für den Drucker nicht definiert.")},
        {1015, K::Error, QStringLiteral("Das Logo %1 kann nicht gelesen werden.")},
        {1016, K::Error,
         QStringLiteral("Ein Beleg wurde begonnen, ohne den vorigen abzuschließen.")},
        {1017, K::Error, QStringLiteral("Es wurde kein Beleg begonnen.")},
        {1018, K::Error, QStringLiteral("Unbekannter Belegteil \"%1\".")},
        {1019, K::Error, QStringLiteral("Unbekannte Zeilenart \"%1\" im Belegteil %2.")},
        {1020, K::Error, QStringLiteral("Der Belegtyp %1 ist dem Druckmodul nicht bekannt.")},
        {1021, K::Error, QStringLiteral("Die Ausgabedatei %1 kann nicht geschrieben werden.")},
        {1022, K::Error, QStringLiteral("Der Druckerspooler meldet einen Fehler: %1")},
        {1023, K::Error,
         QStringLiteral("Die Währungsumrechnung von %1 nach %2 ist nicht möglich.")},
        {1024, K::Question,
         QStringLiteral("Sollen alle Layouts dieses Rechners für den aktuellen Drucker durch die "
                        "Vorgaben des Vorlagerechners ersetzt werden?")},
        {1025, K::Warning, QStringLiteral("Der Drucker meldet: %1")},
        {1026, K::Error, QStringLiteral("Die Druckeinstellungen des Rechners %1 fehlen.")},
        {1027, K::Information, QStringLiteral("Der Vorgang wurde abgebrochen.")},
        {1028, K::Warning,
         QStringLiteral("Der Text wurde noch nicht gebucht. Bitte buchen Sie den Text vor dem "
                        "Testdruck.")},
        {1029, K::Warning,
         QStringLiteral("Das Logo muss mindestens 1 cm breit und 1 cm hoch sein.")},
        {1030, K::Warning, QStringLiteral("Bitte wählen Sie mindestens einen Ziel-Rechner aus.")},
        {1031, K::Warning,
         QStringLiteral("Der Quell-Rechner darf nicht zugleich Ziel-Rechner sein.")},
        {1032, K::Information, QStringLiteral("Die Einstellungen wurden kopiert.")},
        {1033, K::Information, QStringLiteral("Die Layoutsätze wurden angelegt.")},
        {1034, K::Warning, QStringLiteral("Das Bild %1 kann nicht gelesen werden: %2.")},
        {1035, K::Error, QStringLiteral("Für \"%1\" - \"%2\" gibt es keinen Gestaltungsdialog.")},
        {1036, K::Warning, QStringLiteral("Die Eingabe \"%1\" ist keine gültige Zahl.")},
        {1037, K::Warning, QStringLiteral("Der Datenspeicher ist schreibgeschützt: %1")},
        {1038, K::Warning, QStringLiteral("Der gespeicherte Satz %1 ist beschädigt: %2")},
        {1039, K::Information,
         QStringLiteral("Für den aktuellen Drucker ist keine Papierbreite eingerichtet. Bitte "
                        "geben Sie Papierbreite und Ränder ein.")},
        {1040, K::Warning,
         QStringLiteral("Die Anzahl der Bons bei Rücknahme darf nicht kleiner sein als die "
                        "Anzahl der Bons beim normalen Verkauf.")},
}};

QString applyArgs(QString text, const QStringList &args)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString marker = QStringLiteral("%") + QString::number(i + 1);
        const QString &arg = args.at(i);
        // A reason that ends a sentence itself takes the place of the text's full stop.
        if (arg.endsWith(u'.') || arg.endsWith(u'!') || arg.endsWith(u'?'))
            text.replace(marker + u'.', arg);
        text.replace(marker, arg);
    }
    return text;
}

QString kindTitle(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        return QStringLiteral("Kassotyp - Hinweis");
    case MessageKind::Warning:
        return QStringLiteral("Kassotyp - Warnung");
    case MessageKind::Question:
        return QStringLiteral("Kassotyp - Frage");
    case MessageKind::Error:
        return QStringLiteral("Kassotyp - Fehler");
    }
    return QStringLiteral("Kassotyp");
}

} // namespace

const CatalogueMessage *catalogueMessage(int number)
{
    for (const CatalogueMessage &m : catalogue) {
        if (m.number == number)
            return &m;
    }
    return nullptr;
}

QString catalogueText(int number, const QStringList &args)
{
    const CatalogueMessage *m = catalogueMessage(number);
    if (!m)
        return QStringLiteral("Meldung %1 (KASSOTYP)").arg(number);
    return applyArgs(m->text, args);
}

OVOInfo::OVOInfo(const QString &logFilePath)
    : m_logFilePath(logFilePath)
{
}

void OVOInfo::log(const QString &line) const
{
    // The log must never be the reason a window fails: LogFile skips what it cannot write.
    LogFile(m_logFilePath).append(LogFile::timeStamp() + u' ' + line);
}

Answer OVOInfo::present(MessageKind kind, const QString &text)
{
    if (!m_presenter)
        return kind == MessageKind::Question ? Answer::No : Answer::Ok;
    return m_presenter->present(kind, kindTitle(kind), text);
}

Answer OVOInfo::ShowMeldung(int number, const QString &programKey, const QStringList &args)
{
    const CatalogueMessage *m = catalogueMessage(number);
    const MessageKind kind = m ? m->kind : MessageKind::Information;
    const QString text = QStringLiteral("%1\n\n(%2 %3)")
                                 .arg(catalogueText(number, args), programKey)
                                 .arg(number);
    log(QStringLiteral("Meldung %1: %2").arg(number).arg(catalogueText(number, args)));
    return present(kind, text);
}

Answer OVOInfo::ShowText(MessageKind kind, const QString &text)
{
    log(QStringLiteral("Hinweis: %1").arg(text));
    return present(kind, text);
}

QString OVOInfo::ChooseOpenFile(const QString &title, const QString &filter)
{
    return m_presenter ? m_presenter->chooseOpenFile(title, filter) : QString();
}

void OVOInfo::SetError(int number, const QString &location, const QStringList &args)
{
    m_errorNumber = number;
    m_errorLocation = location;
    m_errorText = catalogueText(number, args);
    log(QStringLiteral("Fehler %1 in %2: %3").arg(number).arg(location, m_errorText));
}

void OVOInfo::FehlerRaise(const QString &location, int number, const QString &param1,
                          const QString &param2, int, int)
{
    if (number == 0) {
        if (m_errorNumber != 0)
            throw OvoError(m_errorNumber, m_errorLocation, m_errorText);
        return;
    }
    QStringList args;
    if (!param1.isNull())
        args << param1;
    if (!param2.isNull())
        args << param2;
    SetError(number, location, args);
    throw OvoError(number, location, m_errorText);
}

void OVOInfo::ResetErrorSpez(int number, const QString &)
{
    if (m_errorNumber != number)
        return;
    m_errorNumber = 0;
    m_errorText.clear();
    m_errorLocation.clear();
}

void OVOInfo::RegisterException(const QString &location, const std::exception &e, bool show)
{
    QString text;
    if (const auto *ovo = dynamic_cast<const OvoError *>(&e)) {
        text = QStringLiteral("%1\n\n(KASSOTYP %2)").arg(ovo->text()).arg(ovo->number());
        // A reported error is done with; it must not surface again at the next FehlerRaise.
        ResetErrorSpez(ovo->number());
    } else {
        text = QString::fromStdString(e.what());
    }
    log(QStringLiteral("Ausnahme in %1: %2").arg(location, text));
    if (show)
        present(MessageKind::Error, QStringLiteral("%1\n\nOrt: %2").arg(text, location));
}

void OVOInfo::FehlerTerminate(const QString &location, int, const QString &, const QString &, int,
                              int)
{
    // An error left at a window that is going away can no longer be handled by it.
    if (m_errorNumber != 0 && m_errorLocation.startsWith(location.section(u'.', 0, 0))) {
        log(QStringLiteral("Fehler %1 beim Schließen von %2 verworfen")
                    .arg(m_errorNumber)
                    .arg(location));
        ResetErrorSpez(m_errorNumber);
    }
}
