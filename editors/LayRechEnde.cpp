#include "editors/LayRechEnde.h"

namespace {

// Besides the settings list, an invoice end preset keeps the "nur bei Bedarf" switches of lines
// 3 and 4 on their own, after the list; they win over the list's positions when both are there.
const QList<FormatField> &presetSwitches()
{
    static const QList<FormatField> fields{{QStringLiteral("chbText3"), FieldEncoding::Flag10},
                                           {QStringLiteral("chbText4"), FieldEncoding::Flag10}};
    return fields;
}

} // namespace

const EndEditorKind &TfrmLayRechEnde::rechEndeKind()
{
    static const EndEditorKind kind{&rechEndePlan(),
                                    &sectionEditedBy(staticMetaObject),
                                    tr("Gestaltung des Rechnungsendes"),
                                    tr("Logo des Rechnungsendes"),
                                    6,
                                    20,
                                    {{QStringLiteral("#VknNr#"), tr("Verkäuferin Nummer")},
                                     {QStringLiteral("#VknName#"), tr("Verkäuferin Name")},
                                     {QStringLiteral("#KndNr#"), tr("Kunde Nummer")},
                                     {QStringLiteral("#KndName#"), tr("Kunde Name")},
                                     {QStringLiteral("#Linie#"), tr("Linie")},
                                     {QStringLiteral("#Text#"), tr("Text")}}};
    return kind;
}

TfrmLayRechEnde::TfrmLayRechEnde(QWidget *parent)
    : TfrmLayBonende(rechEndeKind(), QStringLiteral("frmLayRechEnde"), parent)
{
    OVOFormInit(QStringLiteral("frmLayRechEnde"), true);
}

void TfrmLayRechEnde::btnVorgabeSpeichernClick()
{
    FormStore.SetMaske(Maske());
    FormStore.LayOutListe.clear();
    Einstellungen_MaskeLesen(FormStore.LayOutListe);
    for (const FormatField &field : presetSwitches())
        FormStore.LayOutListe << readField(field);
    FormStore.store(QString::number(RNr()), presetFlag());
}

void TfrmLayRechEnde::btnVorgabeLadenClick()
{
    // The list itself is applied as far as its stages reach, which stops before these.
    TfrmLayBonende::btnVorgabeLadenClick();
    const QStringList &kept = FormStore.LayOutListe;
    const int first = format().size();
    for (int i = 0; i < presetSwitches().size() && first + i < kept.size(); ++i)
        writeField(presetSwitches().at(i), kept.at(first + i));
}
