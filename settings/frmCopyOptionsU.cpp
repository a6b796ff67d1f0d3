#include "settings/frmCopyOptionsU.h"

#include "core/app/host.h"
#include "core/model/hosttables.h"
#include "widgets/mainwindowcontext.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int RnrRole = Qt::UserRole;

int rnrOf(const QListWidgetItem *item)
{
    return item ? item->data(RnrRole).toInt() : 0;
}

} // namespace

TfrmCopyOptions::TfrmCopyOptions(QWidget *parent)
    : TOVOForm(parent)
{
    OVOFormInit(QStringLiteral("frmCopyOptions"), true);
    Host &host = frmKassotypHaupt().host();
    m_ownRnr = host.program().GetRId();
    m_ownType = host.program().GetRTyp();

    setWindowTitle(tr("Kopieren der Einstellungen auf andere Rechner"));
    setUpDialogFrame();
    auto *main = new QVBoxLayout(this);
    main->addWidget(new QLabel(tr("Die Einstellungen des ausgewählten Quell-Rechners"), this));
    main->addWidget(new QLabel(tr("werden auf die selektierten Ziel-Rechner kopiert"), this));

    auto *lists = new QGridLayout;
    m_lblRechner = new QListWidget(this);
    m_lblRechner->setObjectName(QStringLiteral("lblRechner"));
    m_lblRechner->setSelectionMode(QAbstractItemView::SingleSelection);
    m_chbRechner = new QListWidget(this);
    m_chbRechner->setObjectName(QStringLiteral("chbRechner"));
    m_chbRechner->setSelectionMode(QAbstractItemView::SingleSelection);
    lists->addWidget(new QLabel(tr("Quell-Rechner:"), this), 0, 0);
    lists->addWidget(new QLabel(tr("Ziel-Rechner:"), this), 0, 1);
    lists->addWidget(m_lblRechner, 1, 0);
    lists->addWidget(m_chbRechner, 1, 1);
    main->addLayout(lists, 1);

    RVRTab &table = host.workstations();
    const int count = table.GetUmfangCount();
    for (int i = 0; i < count; ++i) {
        const TRVRInfoUmfang entry = table.GetUmfang(i);
        if (entry.RTyp != 3 && entry.RTyp != 4)
            continue;
        const QString text = RVRTab::displayName(entry);
        auto *source = new QListWidgetItem(text, m_lblRechner);
        source->setData(RnrRole, entry.RNr);
        auto *target = new QListWidgetItem(text, m_chbRechner);
        target->setData(RnrRole, entry.RNr);
        target->setFlags(target->flags() | Qt::ItemIsUserCheckable);
        target->setCheckState(entry.RNr == m_ownRnr ? Qt::Checked : Qt::Unchecked);
    }
    m_chbRechner->setEnabled(!isTillType(m_ownType));

    addSaveButtons(
            main,
            tr("Kopieren der Einstellungen des aktuellen Rechners auf die selektierten Rechner"),
            [this] { btnBuchenClick(); },
            {QString(), QString(), tr("zum Hauptmenü zurückkehren, ohne zu Buchen")});
    resize(520, 340);
}

void TfrmCopyOptions::showEvent(QShowEvent *event)
{
    TOVOForm::showEvent(event);
    guard(QStringLiteral("FormShow"), [this] { FormShow(); });
}

void TfrmCopyOptions::FormShow()
{
    if (!isTillType(m_ownType)) {
        for (int i = 0; i < m_chbRechner->count(); ++i)
            m_chbRechner->item(i)->setCheckState(Qt::Unchecked);
    }
    for (QListWidget *list : {m_lblRechner, m_chbRechner}) {
        if (list->count() > 0)
            list->setCurrentRow(0);
    }
    m_lblRechner->setFocus();
}

QList<int> TfrmCopyOptions::targets() const
{
    QList<int> numbers;
    for (int i = 0; i < m_chbRechner->count(); ++i) {
        if (m_chbRechner->item(i)->checkState() == Qt::Checked)
            numbers << rnrOf(m_chbRechner->item(i));
    }
    return numbers;
}

int TfrmCopyOptions::sourceWorkstation() const
{
    const QList<QListWidgetItem *> chosen = m_lblRechner->selectedItems();
    return chosen.isEmpty() ? 0 : rnrOf(chosen.first());
}

int TfrmCopyOptions::targetCount() const
{
    return int(targets().size());
}

int TfrmCopyOptions::GetTarget(int index) const
{
    return targets().value(index, 0);
}

bool TfrmCopyOptions::validate()
{
    const QList<int> chosen = targets();
    OVOInfo &info = frmKassotypHaupt().host().info();
    if (chosen.isEmpty()) {
        info.ShowMeldung(1030, KassotypProgramKey);
        return false;
    }
    if (chosen.contains(sourceWorkstation())) {
        info.ShowMeldung(1031, KassotypProgramKey);
        return false;
    }
    return true;
}

void TfrmCopyOptions::btnBuchenClick()
{
    if (!validate())
        return;
    // The targets' own settings are overwritten: the user sees which ones before they go.
    QStringList names;
    for (int i = 0; i < m_chbRechner->count(); ++i) {
        if (m_chbRechner->item(i)->checkState() == Qt::Checked)
            names << QStringLiteral("- ") + m_chbRechner->item(i)->text();
    }
    const QString source = m_lblRechner->selectedItems().constFirst()->text();
    const QString question =
            tr("Die Einstellungen von %1 werden kopiert. Dabei werden die Einstellungen dieser "
               "Rechner überschrieben:\n%2\n\nSollen die Einstellungen kopiert werden?")
                    .arg(source, names.join(u'\n'));
    if (frmKassotypHaupt().host().info().ShowText(MessageKind::Question, question) == Answer::Yes)
        accept();
}
