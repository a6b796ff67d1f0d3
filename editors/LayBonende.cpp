#include "editors/LayBonende.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/model/textfunctions.h"
#include "preview/Preview.h"
#include "widgets/logoanzeige.h"
#include "widgets/placeholderpicker.h"
#include "widgets/radiogroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

// ---- counts --------------------------------------------------------------------------------

int countValue(const QLineEdit *edit)
{
    return qMax(0, edit->text().trimmed().toInt());
}

void setCountValue(QLineEdit *edit, int value)
{
    if (countValue(edit) != value)
        edit->setText(QString::number(value));
}

// ---- end editor ----------------------------------------------------------------------------

namespace {

struct SwitchLook
{
    LineCondition condition;
    const char *caption;
    const char *hint;
    bool initially;
};

// The switch of a line is captioned after what it does at print time.
constexpr SwitchLook switchLooks[] = {
        {LineCondition::WithoutReduction, QT_TRANSLATE_NOOP("TfrmLayBonende", "nur bei Bedarf"),
         QT_TRANSLATE_NOOP("TfrmLayBonende", "Kundenzahlung ohne Reduzierung"), true},
        {LineCondition::WithReduction, QT_TRANSLATE_NOOP("TfrmLayBonende", "nur bei Bedarf"),
         QT_TRANSLATE_NOOP("TfrmLayBonende", "Kundenzahlung mit Reduzierung"), true},
        {LineCondition::PlaceholdersFilled,
         QT_TRANSLATE_NOOP("TfrmLayBonende", "nur bei gef. Platz."),
         QT_TRANSLATE_NOOP("TfrmLayBonende", "Kundenzahlung mit Reduzierung"), false},
        {LineCondition::ReturnOnly, QT_TRANSLATE_NOOP("TfrmLayBonende", "nur Rückgabe"),
         QT_TRANSLATE_NOOP("TfrmLayBonende", "Zeile nur bei Rückgabe drucken"), true},
};

const SwitchLook &lookOf(LineCondition condition)
{
    for (const SwitchLook &look : switchLooks) {
        if (look.condition == condition)
            return look;
    }
    return switchLooks[0];
}

} // namespace

const EndEditorKind &TfrmLayBonende::bonEndeKind()
{
    static const EndEditorKind kind{&bonEndePlan(),
                                    &sectionEditedBy(staticMetaObject),
                                    tr("Gestaltung des Bonendes"),
                                    tr("Logo des Bonendes"),
                                    6,
                                    10,
                                    {{QStringLiteral("#VknNr#"), tr("Verkäuferin Nummer")},
                                     {QStringLiteral("#VknName#"), tr("Verkäuferin Name")},
                                     {QStringLiteral("#KndNr#"), tr("Kunde Nummer")},
                                     {QStringLiteral("#KndName#"), tr("Kunde Name")},
                                     {QStringLiteral("#Linie#"), tr("Linie")}}};
    return kind;
}

TfrmLayBonende::TfrmLayBonende(QWidget *parent)
    : TfrmLayBonende(bonEndeKind(), QStringLiteral("frmLayBonende"), parent)
{
}

TfrmLayBonende::TfrmLayBonende(const EndEditorKind &kind, const QString &componentName,
                               QWidget *parent)
    : LayoutEditor(componentName, parent)
    , m_kind(kind)
{
    OVOFormInit(componentName, true);
    editSection(*kind.section);
    setWindowTitle(kind.caption);
    headline()->setText(kind.caption);
    elementTitle()->hide();

    const QString filler(150, u'x');
    for (int i = 1; i <= kind.plan->lines; ++i) {
        LineGroup::Initial initial;
        initial.text = filler;
        if (i >= kind.leftAlignedFrom && i <= kind.leftAlignedTo)
            initial.alignment = QStringLiteral("links");
        LineGroup *group = addLine(initial);
        if (const LineSwitch *s = kind.plan->switchOf(i)) {
            const SwitchLook &look = lookOf(s->condition);
            QString prefix = s->control;
            prefix.chop(QString::number(i).size());
            QCheckBox *box = group->addSwitch(prefix, tr(look.caption));
            box->setToolTip(tr(look.hint));
            box->setChecked(look.initially);
        }
    }
    createPreviewLabels(kind.plan->lines);

    m_logo = new LogoBlock(this);
    m_logo->createPreviewPicture(previewLabel(1)->parentWidget());
    m_logo->setSizeCm(10, 10);
    buildPages();
    buildArrangementPanel();

    connectGuarded(m_logo->chbLogo, &QCheckBox::toggled, "chbLogoClick",
                   &TfrmLayBonende::chbLogoClick);
    connectGuarded(m_logo->spbLogo, &QPushButton::clicked, "spbLogoClick",
                   &TfrmLayBonende::spbLogoClick);
    connectGuarded(m_logo->LogoAnzeige, &Tlogoanzeige::neuesBild, "LogoAnzeigeNeuesBild",
                   &TfrmLayBonende::LogoAnzeigeNeuesBild);
    for (QWidget *w : std::initializer_list<QWidget *>{m_above, m_below, m_logo->edtLogoBreite,
                                                       m_logo->edtLogoHoehe})
        w->installEventFilter(this);
}

TfrmLayBonende::~TfrmLayBonende()
{
    // Closing moves the focus; a half-destroyed window must not check its counts.
    for (QWidget *w : std::initializer_list<QWidget *>{m_above, m_below, m_logo->edtLogoBreite,
                                                       m_logo->edtLogoHoehe})
        w->removeEventFilter(this);
}

void TfrmLayBonende::buildPages()
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pgcDaten"));
    delete layout()->replaceWidget(lineScrollArea(), m_pages);
    // The page holds the lines and the placeholder panel beside them: give it the room.
    resize(1200, height());
    for (int i = 0; i < layout()->count(); ++i) {
        if (auto *body = qobject_cast<QBoxLayout *>(layout()->itemAt(i)->layout()))
            body->setStretchFactor(m_pages, 5);
    }

    auto *text = new QWidget(m_pages);
    text->setObjectName(QStringLiteral("tshText"));
    auto *textLayout = new QHBoxLayout(text);
    textLayout->addWidget(lineScrollArea(), 1);
    auto *placeholders = new QGroupBox(text);
    placeholders->setObjectName(QStringLiteral("pnlPlatzhalter"));
    // The picker may cover the common placeholders together with the preview.
    placeholders->setProperty(PlaceholderPicker::DockProperty, true);
    auto *grid = new QGridLayout(placeholders);
    grid->addWidget(boldLabel(tr("Häufig verwendete Platzhalter"), placeholders), 0, 0, 1, 2);
    int row = 1;
    for (const auto &[token, meaning] : m_kind.frequentPlaceholders) {
        auto *tokenLabel = new QLabel(token, placeholders);
        tokenLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(tokenLabel, row, 0);
        grid->addWidget(new QLabel(meaning, placeholders), row, 1);
        ++row;
    }
    grid->addWidget(findChild<QPushButton *>(QStringLiteral("btnPlatzhalter")), row, 0, 1, 2);
    grid->setRowStretch(row + 1, 1);
    placeholders->setMaximumWidth(placeholders->sizeHint().width());
    textLayout->addWidget(placeholders);
    m_pages->addTab(text, tr("Text"));

    auto *logoPage = new QWidget(m_pages);
    logoPage->setObjectName(QStringLiteral("Logo"));
    auto *logoLayout = new QVBoxLayout(logoPage);
    logoLayout->addWidget(boldLabel(m_kind.logoHeading, logoPage));
    logoLayout->addWidget(m_logo);
    m_tooWide = new QLabel(tr("VORSICHT: Das Logo ist breiter als der Bon !"), logoPage);
    m_tooWide->setObjectName(QStringLiteral("lblLogoZuBreit"));
    m_tooWide->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    m_tooWide->hide();
    logoLayout->addWidget(m_tooWide);
    logoLayout->addStretch();
    m_pages->addTab(logoPage, tr("Logo"));
}

void TfrmLayBonende::buildArrangementPanel()
{
    QWidget *side = sideLayout()->parentWidget();
    side->setObjectName(QStringLiteral("pnlPreview"));
    auto *panel = new QWidget(side);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    m_arrangement = boldLabel(tr("Anordnung mit Logo"), panel);
    m_arrangement->setObjectName(QStringLiteral("lblTxtAnordnung"));
    auto *maxLines = new QLabel(tr("Insgesamt maximal %1 Zeilen!").arg(m_kind.plan->lines), panel);
    maxLines->setObjectName(QStringLiteral("lblMaxZeilen"));
    maxLines->setStyleSheet(QStringLiteral("color: blue"));
    grid->addWidget(m_arrangement, 0, 0, 1, 2);
    grid->addWidget(maxLines, 1, 0, 1, 2);
    const struct
    {
        QLineEdit **edit;
        QLabel **caption;
        const char *name;
        const char *captionName;
        QString text;
    } counts[] = {{&m_above, &m_aboveCaption, "edtAnzZeilenUber", "lblTxtAnzZeilenUeber",
                   tr("Anzahl Textzeilen über Logo")},
                  {&m_below, &m_belowCaption, "edtAnzZeilenUnter", "lblTxtAnzZeilenUnter",
                   tr("Anzahl Textzeilen unter Logo")}};
    int row = 2;
    for (const auto &c : counts) {
        const LabelledField field = addLabelledField(grid, row++, QString::fromLatin1(c.name),
                                                     c.text, QStringLiteral("[0-9]{0,2}"), 2, 50);
        field.caption->setObjectName(QString::fromLatin1(c.captionName));
        *c.edit = field.edit;
        *c.caption = field.caption;
    }
    grid->setColumnStretch(2, 1);
    sideLayout()->insertWidget(0, panel);
}

const LayoutFormat &TfrmLayBonende::format() const
{
    return m_kind.plan->format;
}

void TfrmLayBonende::applySection()
{
    // Text modes print in the printer's one style as well as its one size.
    const bool graphic = engine().Kasso_Typ_Get_Modus() == QString(TBonPrinter::GraphicMode);
    for (LineGroup *group : lineGroups())
        group->style()->setEnabled(graphic);
    // A logo is offered where the till prints one, by the header editor's and the engine's rule.
    m_logo->chbLogo->setEnabled(engine().logoPrints());
}

int TfrmLayBonende::above() const
{
    return countValue(m_above);
}

int TfrmLayBonende::below() const
{
    return countValue(m_below);
}

void TfrmLayBonende::Einstellungen_Laden()
{
    if (loadRecordWithFallback() && m_logo->chbLogo->isChecked()) {
        m_logo->load(Kennung(), KASTFile.RNr.GetWert());
        edtLogoBreiteExit();
        edtLogoHoeheExit();
    }
    if (!engine().logoPrints())
        m_logo->chbLogo->setChecked(false);
    // What opening does after loading, before the preview draws the result.
    chbLogoClick();
    edtAnzZeilenExit(m_above);
    m_pages->setCurrentIndex(0);
}

void TfrmLayBonende::Einstellungen_MaskeLesen(QStringList &list)
{
    m_logo->showLogoName();
    LayoutEditor::Einstellungen_MaskeLesen(list);
    if (m_kind.plan->totalPosition < list.size())
        list[m_kind.plan->totalPosition] = QString::number(above() + below());
}

void TfrmLayBonende::Einstellungen_Speichern()
{
    LayoutEditor::Einstellungen_Speichern();
    m_logo->saveIfDue(Kennung(), RNr(), false, host().booking());
}

bool TfrmLayBonende::CheckLogoSettings() const
{
    return m_logo->CheckLogoSettings();
}

void TfrmLayBonende::chbLogoClick()
{
    const bool on = m_logo->chbLogo->isChecked();
    m_logo->setDetailsEnabled(on);
    m_logo->lblLogoName->clear();
    for (QWidget *w : std::initializer_list<QWidget *>{m_belowCaption, m_below, m_arrangement})
        w->setVisible(on);
    if (on) {
        m_aboveCaption->setText(tr("Anzahl Textzeilen über Logo"));
        return;
    }
    m_logo->setSizeCm(0, 0);
    m_aboveCaption->setText(tr("Anzahl Textzeilen"));
    const int total = above() + below();
    setCountValue(m_above, total);
    setCountValue(m_below, 0);
}

void TfrmLayBonende::spbLogoClick()
{
    m_logo->LogoAnzeige->lamitFileImportClick();
    m_logo->showLogoName();
}

void TfrmLayBonende::LogoAnzeigeNeuesBild()
{
    takeImportedLogo(*m_logo);
}

void TfrmLayBonende::edtAnzZeilenExit(QLineEdit *left)
{
    QLineEdit *other = left == m_above ? m_below : m_above;
    const int limit = m_kind.plan->lines;
    const int rest = countValue(other);
    if (countValue(left) + rest > limit) {
        if (rest > limit) {
            setCountValue(left, 0);
            setCountValue(other, 0);
        } else {
            setCountValue(left, limit - rest);
        }
    }
    edtTextAnzahlZeilenChange();
}

void TfrmLayBonende::settleInput()
{
    // A count still being typed gets the check that leaving it would run.
    for (QLineEdit *count : {m_above, m_below}) {
        if (count->hasFocus())
            edtAnzZeilenExit(count);
    }
    LayoutEditor::settleInput();
}

void TfrmLayBonende::edtTextAnzahlZeilenChange()
{
    const int total = above() + below();
    for (LineGroup *group : lineGroups())
        group->setVisible(group->number() <= total);
}

void TfrmLayBonende::edtLogoBreiteExit()
{
    const int printable = printableWidth();
    m_tooWide->setVisible(printable < LogoBlock::cmToPixels(m_logo->widthCm(), pixelsPerInch()));
    m_logo->sizePictureWidth(pixelsPerInch());
}

void TfrmLayBonende::edtLogoHoeheExit()
{
    m_logo->sizePictureHeight(pixelsPerInch());
}

void TfrmLayBonende::drawPreview(int width)
{
    // Both counts as they stand now: a logo switched off on the way moves its lines, not
    // the lines already drawn.
    const int upper = above();
    const int lower = below();
    m_logo->hidePreviewPicture();
    int y = 10;
    const bool wh2 = engine().ReplWH2(false);
    auto draw = [&](int from, int to) {
        for (int n = from; n <= to; ++n) {
            if (!line(n) || !previewLabel(n))
                continue;
            guard(QStringLiteral("btnPreviewClick.writePreviewLine"),
                  [&] { writePreviewLine(previewLabel(n), line(n), y, width, wh2); });
        }
    };
    draw(1, upper);
    guard(QStringLiteral("btnPreviewClick.printPreviewLogo"), [&] { printPreviewLogo(y, width); });
    draw(upper + 1, upper + lower);
}

void TfrmLayBonende::printPreviewLogo(int &y, int printableWidth)
{
    if (!m_logo->chbLogo->isChecked())
        return;
    if (!CheckLogoSettings()) {
        host().info().ShowMeldung(1029, KassotypProgramKey);
        m_logo->chbLogo->setChecked(false);
        return;
    }
    m_logo->placePreview(y, printableWidth, pixelsPerInch());
}

void TfrmLayBonende::scbPreviewClick()
{
    m_logo->showFullScreenPreview(*this);
}

bool TfrmLayBonende::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_above || watched == m_below) {
            auto *edit = static_cast<QLineEdit *>(watched);
            guard(QStringLiteral("edtAnzZeilenExit"), [this, edit] { edtAnzZeilenExit(edit); });
        } else if (watched == m_logo->edtLogoBreite) {
            guard(QStringLiteral("edtLogoBreiteExit"), [this] { edtLogoBreiteExit(); });
        } else if (watched == m_logo->edtLogoHoehe) {
            guard(QStringLiteral("edtLogoHoeheExit"), [this] { edtLogoHoeheExit(); });
        }
    }
    return LayoutEditor::eventFilter(watched, event);
}
