#include "editors/layouteditor.h"

#include "core/model/printjob.h"
#include "core/store/recordbinding.h"
#include "core/store/workstationtable.h"
#include "editors/logoblock.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/engine/fiscalcheck.h"
#include "core/format/pagesetup.h"
#include "core/model/hosttables.h"
#include "core/model/sampledocument.h"
#include "core/model/textfunctions.h"
#include "preview/Preview.h"
#include "widgets/controlvalues.h"
#include "widgets/historywindow.h"
#include "widgets/logoanzeige.h"
#include "widgets/mainwindowcontext.h"
#include "widgets/placeholderpicker.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Paper of 8 cm with 4 mm margins: what a preview shows while a printer has no page setup.
constexpr double FallbackPrintableCm = 7.2;

// The printed picture a preview label shows, so that an unchanged line is not scaled again.
constexpr const char *PreviewPictureKey = "previewPictureKey";

Qt::Alignment alignmentOf(const QString &text, Qt::Alignment previous)
{
    if (text == QLatin1String("links"))
        return Qt::AlignLeft | Qt::AlignVCenter;
    if (text == QLatin1String("mitte"))
        return Qt::AlignHCenter | Qt::AlignVCenter;
    if (text == QLatin1String("rechts"))
        return Qt::AlignRight | Qt::AlignVCenter;
    return previous;
}

} // namespace

LayoutEditor::LayoutEditor(const QString &componentName, QWidget *parent)
    : TOVOForm(parent)
    , KASTFile(frmKassotypHaupt().host().store())
    , FormStore(frmKassotypHaupt().host().store())
{
    setObjectName(componentName); // the concrete editor names itself with OVOFormInit
    FormStore.FormName_.Sprache = QStringLiteral("DEU");
    FormStore.FormName_.Programm = QStringLiteral("KASSOTYP");
    KASTFile.OpenNew(-1);
    buildFrame();
}

LayoutEditor::~LayoutEditor()
{
    // Hiding the closing window ends the editing of a count field; nothing of the editor may
    // react to it any more.
    for (LineCountField *field : findChildren<LineCountField *>())
        field->disconnect(this);
    guard(
            QStringLiteral("FormDestroy"), [this] { KASTFile.Close(); }, false);
}

Host &LayoutEditor::host() const
{
    return frmKassotypHaupt().host();
}

TBonPrinter &LayoutEditor::engine() const
{
    return frmKassotypHaupt().engine();
}

int LayoutEditor::RNr() const
{
    return frmKassotypHaupt().workstationNumber();
}

double LayoutEditor::pixelsPerInch() const
{
    const QScreen *s = screen();
    return s ? s->logicalDotsPerInchX() : 96.0;
}

void LayoutEditor::buildFrame()
{
    setUpDialogFrame({1040, 700});

    auto *main = new QVBoxLayout(this);
    m_headerArea = new QWidget(this);
    auto *header = new QVBoxLayout(m_headerArea);
    header->setContentsMargins(0, 0, 0, 0);
    m_headline = createHeadline();
    m_elementTitle = boldLabel(QString(), this);
    m_elementTitle->setObjectName(QStringLiteral("lblTxtElemente"));
    // Which till and which printer the window designs for, under the headline.
    m_target = new QLabel(this);
    m_target->setObjectName(QStringLiteral("lblRechnerDrucker"));
    m_target->setWordWrap(true);
    header->addWidget(m_headline);
    header->addWidget(m_target);
    header->addWidget(m_elementTitle);
    main->addWidget(m_headerArea);

    auto *body = new QHBoxLayout;
    main->addLayout(body, 1);

    m_lineScroll = new QScrollArea(this);
    m_lineScroll->setObjectName(QStringLiteral("OVOStdScrollBox1"));
    m_lineScroll->setWidgetResizable(true);
    auto *lineHost = new QWidget;
    m_lineLayout = new QVBoxLayout(lineHost);
    m_lineLayout->setSpacing(4);
    m_lineLayout->addStretch();
    m_lineScroll->setWidget(lineHost);
    body->addWidget(m_lineScroll, 3);

    auto *side = new QWidget(this);
    side->setProperty(PlaceholderPicker::DockProperty, true);
    m_sideLayout = new QVBoxLayout(side);
    m_sideLayout->setContentsMargins(0, 0, 0, 0);
    body->addWidget(side, 2);

    auto *btnPlatzhalter = new QPushButton(tr("Platzhalter..."), this);
    btnPlatzhalter->setObjectName(QStringLiteral("btnPlatzhalter"));
    btnPlatzhalter->setToolTip(tr("Übersicht zu allen Platzhaltern"));
    btnPlatzhalter->setAutoDefault(false);
    btnPlatzhalter->setFocusPolicy(Qt::NoFocus); // keeps the caret in the text line
    m_sideLayout->addWidget(btnPlatzhalter);

    m_previewScroll = new QScrollArea(this);
    m_previewScroll->setObjectName(QStringLiteral("scbPreview"));
    m_previewScroll->setToolTip(tr("Doppelklick: Vollbildmodus"));
    m_previewPage = new QWidget;
    m_previewPage->setObjectName(QStringLiteral("pnlPreviewPage"));
    m_previewPage->setAutoFillBackground(true);
    QPalette white = m_previewPage->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    m_previewPage->setPalette(white);
    m_previewScroll->setWidget(m_previewPage);
    m_previewScroll->setMinimumHeight(220);
    m_previewScroll->viewport()->installEventFilter(this);
    m_previewPage->installEventFilter(this);
    m_sideLayout->addWidget(m_previewScroll, 1);

    auto *btnPreview = new QPushButton(tr("Vorschau aktualisieren"), this);
    btnPreview->setObjectName(QStringLiteral("btnPreview"));
    btnPreview->setAutoDefault(false);
    // The case the preview, the full-screen preview and the test print show.
    auto *caseRow = new QHBoxLayout;
    m_case = new QComboBox(this);
    m_case->setObjectName(QStringLiteral("cmbBelegFall"));
    m_case->setToolTip(tr("Mit welchen Beispieldaten Vorschau und Testdruck den Beleg zeigen: "
                          "normal, bei ausgefallener TSE bzw. Sicherheitseinrichtung, als "
                          "Duplikat oder als Trainingsbeleg"));
    for (SampleCase c : sampleCases())
        m_case->addItem(sampleCaseTitle(c), int(c));
    auto *caseLabel = new QLabel(tr("&Fall:"), this);
    caseLabel->setBuddy(m_case);
    caseRow->addWidget(caseLabel);
    caseRow->addWidget(m_case, 1);
    caseRow->addWidget(btnPreview);
    m_sideLayout->addLayout(caseRow);
    connectGuarded(m_case, &QComboBox::activated, "cmbBelegFallChange",
                   &LayoutEditor::cmbBelegFallChange);

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu"));
    QAction *full = m_popupMenu->addAction(tr("Vollbildmodus"));
    m_popupMenu->addAction(tr("Abbrechen"));
    connectGuarded(full, &QAction::triggered, "scbPreviewClick", &LayoutEditor::scbPreviewClick);

    auto *presets = new QHBoxLayout;
    const struct
    {
        const char *name;
        QString caption;
        void (LayoutEditor::*handler)();
        const char *operation;
    } presetButtons[] = {
            {"btnVorgabeLaden", tr("Layout laden"), &LayoutEditor::btnVorgabeLadenClick,
             "btnVorgabeLadenClick"},
            {"btnVorgabeSpeichern", tr("Layout speichern"), &LayoutEditor::btnVorgabeSpeichernClick,
             "btnVorgabeSpeichernClick"},
            {"btnVorgabeLoeschen", tr("Layout löschen"), &LayoutEditor::btnVorgabeLoeschenClick,
             "btnVorgabeLoeschenClick"},
    };
    for (const auto &b : presetButtons) {
        auto *button = new QPushButton(b.caption, this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setAutoDefault(false);
        const auto handler = b.handler;
        const QString operation = QString::fromLatin1(b.operation);
        connect(button, &QPushButton::clicked, this,
                [this, handler, operation] { runPresetOperation(handler, operation); });
        presets->addWidget(button);
    }
    m_sideLayout->addLayout(presets);
    m_presetStatus = new QLabel(this);
    m_presetStatus->setObjectName(QStringLiteral("lblVorgabeStatus"));
    m_sideLayout->addWidget(m_presetStatus);

    const SaveButtons buttons =
            addSaveButtons(main, tr("Einstellung als aktuelle Einstellung speichern"),
                           [this] { btnBuchenClick(); });
    m_btnBuchen = buttons.save;
    m_actBuchen = buttons.saveAction;
    connectGuarded(btnPreview, &QPushButton::clicked, "btnPreviewClick",
                   &LayoutEditor::btnPreviewClick);
    connectGuarded(btnPlatzhalter, &QPushButton::clicked, "btnPlatzhalterClick",
                   &LayoutEditor::btnPlatzhalterClick);
}

LineGroup *LayoutEditor::addLine(const LineGroup::Initial &initial)
{
    auto *group = new LineGroup(int(m_lines.size()) + 1, initial);
    m_lineLayout->insertWidget(m_lineLayout->count() - 1, group);
    m_lines.append(group);
    return group;
}

void LayoutEditor::schedulePreview()
{
    if (!m_previewTimer) {
        m_previewTimer = new QTimer(this);
        m_previewTimer->setSingleShot(true);
        m_previewTimer->setInterval(PreviewPauseMs);
        connect(m_previewTimer, &QTimer::timeout, this, [this] {
            if (m_opened)
                guard(QStringLiteral("btnPreviewClick"), [this] { btnPreviewClick(); });
        });
    }
    m_previewTimer->start();
}

void LayoutEditor::followChangesInPreview()
{
    // Every control of the window that holds part of the layout: what is typed, chosen,
    // switched or counted, an inserted placeholder and a loaded preset alike. A field whose
    // half-typed value would be refused (a logo size below 1 cm) counts once it is left.
    const auto schedule = [this] {
        schedulePreview();
    };
    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        if (edit->property(PreviewWhenLeft).toBool())
            connect(edit, &QLineEdit::editingFinished, this, schedule);
        else if (!qobject_cast<QComboBox *>(edit->parentWidget()))
            connect(edit, &QLineEdit::textChanged, this, schedule);
    }
    for (QComboBox *list : findChildren<QComboBox *>())
        connect(list, &QComboBox::currentTextChanged, this, schedule);
    for (QAbstractButton *button : findChildren<QAbstractButton *>()) {
        if (button->isCheckable())
            connect(button, &QAbstractButton::toggled, this, schedule);
    }
    for (Tlogoanzeige *logo : findChildren<Tlogoanzeige *>())
        connect(logo, &Tlogoanzeige::neuesBild, this, schedule);
}

void LayoutEditor::createPreviewLabels(int count)
{
    for (int i = int(m_previewLabels.size()) + 1; i <= count; ++i) {
        auto *label = new QLabel(m_previewPage);
        label->setObjectName(QStringLiteral("lblPreview%1").arg(i));
        label->installEventFilter(this);
        label->hide();
        m_previewLabels.append(label);
    }
}

void LayoutEditor::showEvent(QShowEvent *event)
{
    TOVOForm::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    guard(QStringLiteral("FormShow"), [this] { FormShow(); });
}

QString LayoutEditor::targetDescription() const
{
    const QString till = RVRTab::displayName(host().workstations().GetRNrUmfang(RNr()));
    const QString printer = engine().Kasso_Typ_Get_LayoutPrinterKey();
    if (printer.isEmpty())
        return tr("%1 - kein Drucker eingerichtet").arg(till);
    const QString mode = engine().Kasso_Typ_Get_Modus();
    const QString modeName = mode == QString(TBonPrinter::GraphicMode) ? tr("Grafikmodus")
                             : mode == QString(TBonPrinter::TextMode)  ? tr("Textmodus")
                                                                       : tr("Testmodus");
    return tr("%1 - Drucker %2 (%3)").arg(till, printer, modeName);
}

void LayoutEditor::FormShow()
{
    m_target->setText(targetDescription());
    m_case->setCurrentIndex(m_case->findData(int(sampleCaseOf(engine().document()))));
    followChangesInPreview();
    applySection();
    Maske_Fonts_Laden();
    Maske_FontSize_Laden();
    Einstellungen_Laden();
    giveNewLinesAFont();
    const bool canSave = !engine().Kasso_Typ_Get_LayoutPrinterKey().isEmpty();
    m_btnBuchen->setEnabled(canSave);
    m_actBuchen->setEnabled(canSave);
    if (!canSave)
        m_btnBuchen->setToolTip(tr("Ohne eingerichteten Drucker kann nicht gebucht werden."));
    btnPreviewClick();
    m_opened = currentList();
    startInputHistory();
    if (!m_popupMenu->actions().contains(undoAction())) {
        const QList<QAction *> first = m_popupMenu->actions();
        m_popupMenu->insertActions(first.value(0), {undoAction(), redoAction()});
        m_popupMenu->insertSeparator(first.value(0));
    }
    // Typing starts in the first text line.
    for (LineGroup *line : m_lines) {
        if (line->isVisibleTo(this) && line->text()->isEnabled()) {
            line->text()->setFocus();
            break;
        }
    }
}

void LayoutEditor::takeImportedLogo(LogoBlock &logo)
{
    const double printableCm = printableWidth() / pixelsPerInch() * 2.54;
    if (logo.sizeFromPicture(pixelsPerInch(), printableCm)) {
        host().info().ShowText(MessageKind::Information,
                               tr("Das Bild ist breiter als das Papier. Es wurde auf die "
                                  "druckbare Breite von %1 cm verkleinert.")
                                       .arg(FloatToStr_FSKRT(printableCm)));
    }
    logo.showLogoName();
}

void LayoutEditor::giveNewLinesAFont()
{
    // A line nobody designed yet shows the font and size it prints with, so that the preview
    // and the print agree: the program's font in graphic mode, the printer's base font in
    // text mode, and 10 points.
    const bool graphic = engine().Kasso_Typ_Get_Modus() == QString(TBonPrinter::GraphicMode);
    const QString family = QFontInfo(QApplication::font()).family();
    for (LineGroup *line : m_lines) {
        QComboBox *font = line->font();
        if (font->currentText().isEmpty() && font->count() > 0) {
            const int index = font->findText(graphic ? family : engine().printerBaseFont());
            font->setCurrentIndex(index >= 0 ? index : 0);
        }
        QComboBox *size = line->size();
        if (graphic && size->currentText().isEmpty())
            _ComboBox_SetText(size, QString::number(DefaultPointSize));
    }
}

QStringList LayoutEditor::currentList()
{
    QStringList list;
    Einstellungen_MaskeLesen(list);
    return list;
}

bool LayoutEditor::hasUnsavedChanges() const
{
    if (!m_opened)
        return false;
    // What a save would read; a window whose controls cannot be read counts as changed.
    try {
        return *m_opened != const_cast<LayoutEditor *>(this)->currentList();
    } catch (const std::exception &) {
        return true;
    }
}

bool LayoutEditor::lookUp(int rnr, const QString &printerKey)
{
    return RecordBinding(KASTFile).find({m_kennung, rnr, printerKey});
}

bool LayoutEditor::loadRecordWithFallback()
{
    RecordBinding record(KASTFile);
    if (!record.find(
                Fallback::section(m_kennung, RNr(), engine().Kasso_Typ_Get_LayoutPrinterKey())))
        return false;
    Einstellungen_MaskeSchreiben(record.list());
    return true;
}

void LayoutEditor::Einstellungen_Laden()
{
    if (loadRecordWithFallback())
        return;
    QStringList design;
    if (loadDefaultDesign(design))
        Einstellungen_MaskeSchreiben(design);
}

bool LayoutEditor::loadDefaultDesign(QStringList &)
{
    return false;
}

QString LayoutEditor::printerKeyForSaving() const
{
    const QString printerKey = engine().Kasso_Typ_Get_LayoutPrinterKey();
    if (printerKey.isEmpty())
        throw StoreError(tr("Für diesen Rechner ist kein Drucker eingerichtet; das Layout kann "
                            "nicht gebucht werden."));
    return printerKey;
}

void LayoutEditor::Einstellungen_Speichern()
{
    const QString printerKey = printerKeyForSaving();
    QStringList list;
    Einstellungen_MaskeLesen(list);
    RecordBinding(KASTFile).book({m_kennung, RNr(), printerKey}, list);
}

QList<EditedRecord> LayoutEditor::editedRecords()
{
    const QString printerKey = engine().Kasso_Typ_Get_LayoutPrinterKey();
    if (m_kennung.isEmpty() || printerKey.isEmpty())
        return {};
    QList<EditedRecord> records{
            {tr("Layout"), layoutRef({m_kennung, RNr(), printerKey}), &format()}};
    if (RNr() != 0)
        records << EditedRecord{tr("Vorlage (Rechner 0)"), layoutRef({m_kennung, 0, printerKey}),
                                &format()};
    return records;
}

QStringList LayoutEditor::shownVersion(const EditedRecord &)
{
    return currentList();
}

void LayoutEditor::showVersion(const EditedRecord &, const QStringList &list)
{
    Einstellungen_MaskeSchreiben(list);
    btnPreviewClick();
}

void LayoutEditor::Einstellungen_MaskeSchreiben(const QStringList &list)
{
    const LayoutFormat &f = format();
    ControlValues::writeFields(this, f.fields, f.decode(list));
}

void LayoutEditor::Einstellungen_MaskeLesen(QStringList &list)
{
    settleInput();
    const LayoutFormat &f = format();
    const int n = qMin(storedLength(), f.size());
    list = f.encode(readControls(f.fields.mid(0, n)), n);
}

FieldValues LayoutEditor::readControls(const QList<FormatField> &fields) const
{
    return ControlValues::readFields(this, fields);
}

void LayoutEditor::writeField(const FormatField &field, const QString &stored)
{
    FieldValues values;
    LayoutFormat::decodeField(field, stored, values);
    ControlValues::writeFields(this, {field}, values);
}

QString LayoutEditor::readField(const FormatField &field) const
{
    return LayoutFormat::encodeField(field, readControls({field}));
}

void LayoutEditor::_ComboBox_SetText(QComboBox *combo, const QString &text)
{
    ControlValues::setComboText(combo, text);
}

void LayoutEditor::Maske_Fonts_Laden()
{
    m_lineScroll->verticalScrollBar()->setValue(0);
    QStringList fonts = engine().Kasso_Typ_Get_Modus() == QString(TBonPrinter::GraphicMode)
                                ? QFontDatabase::families()
                                : engine().Kasso_Typ_Get_PrinterFonts();
    fonts.sort(Qt::CaseInsensitive);
    for (LineGroup *line : m_lines) {
        const QString shown = line->font()->currentText();
        line->font()->clear();
        line->font()->addItems(fonts);
        _ComboBox_SetText(line->font(), shown);
    }
}

void LayoutEditor::Maske_FontSize_Laden()
{
    const bool graphic = engine().Kasso_Typ_Get_Modus() == QString(TBonPrinter::GraphicMode);
    QStringList sizes;
    for (int s = 4; s <= 20; ++s)
        sizes << QString::number(s);
    const bool sizeAndStyle = graphicOnlySelectors() == GraphicOnlySelectors::SizeAndStyle;
    for (LineGroup *line : m_lines) {
        if (sizeAndStyle)
            line->style()->setEnabled(graphic);
        else
            line->font()->setEnabled(graphic);
        line->size()->setEnabled(graphic);
        if (graphic) {
            const QString shown = line->size()->currentText();
            line->size()->clear();
            line->size()->addItems(sizes);
            _ComboBox_SetText(line->size(), shown);
        }
    }
}

int LayoutEditor::printableWidth()
{
    QStringList setup = engine()._Get_PrinterPageSetup();
    if (!isPageSetUp(setup)) {
        const QString key = engine().Kasso_Typ_Get_LayoutPrinterKey();
        frmKassotypHaupt().paperWidthPrompt(templatePrinterKey(key));
        setup = engine()._Get_PrinterPageSetup();
    }
    if (const std::optional<int> w = printableWidthPixels(setup, pixelsPerInch()))
        return *w;
    return int(FallbackPrintableCm * pixelsPerInch() / 2.54);
}

void LayoutEditor::hidePreview()
{
    for (QLabel *label : m_previewLabels)
        label->hide();
}

QList<int> LayoutEditor::previewLines() const
{
    QList<int> numbers;
    for (int i = 1; i <= m_lines.size(); ++i)
        numbers << i;
    return numbers;
}

void LayoutEditor::writePreviewLine(QLabel *label, const LineGroup *line, int &y, int width,
                                    bool secondCurrency, bool sizeToContent, int left)
{
    const LineValues values{line->text()->text(), line->font()->currentText(),
                            line->size()->currentText(), line->style()->currentText(),
                            line->alignment()->currentText()};
    const int paper = m_previewPaperWidth > 0 ? m_previewPaperWidth : width;
    const LinePreview shown =
            engine().previewLine(values, m_kennung, secondCurrency, double(width) / paper);
    // Screen readers, the full-screen preview and tests read what is printed also where the
    // label shows a picture.
    label->setAccessibleName(shown.rows.join(u'\n'));
    QStringList problems;
    if (shown.cut)
        problems << tr("Diese Zeile ist breiter als das Papier; ihr Ende wird nicht gedruckt.");
    if (!shown.unprintable.isEmpty())
        problems << tr("Diese Zeichen kann der Drucker nicht drucken; sie werden durch \"?\" "
                       "ersetzt: %1")
                            .arg(shown.unprintable);
    // A line the printer makes otherwise than designed says so, without being a fault.
    label->setToolTip(problems.isEmpty() ? shown.notice : problems.join(u'\n'));
    // The designed line itself is struck through where the printer cannot make it (a barcode
    // on a printer without barcodes prints its digits).
    QLineEdit *designed = line->text();
    if (designed->font().strikeOut() != !shown.notice.isEmpty()) {
        QFont marked = designed->font();
        marked.setStrikeOut(!shown.notice.isEmpty());
        designed->setFont(marked);
    }
    designed->setToolTip(shown.notice);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText,
                     problems.isEmpty() ? QColor(Qt::black) : QColor(0xc0, 0x10, 0x10));
    label->setPalette(palette);
    if (!shown.picture.isNull()) {
        // The printer's dots (text mode) or the drawn barcode, as wide as the paper on screen;
        // a red frame marks what the printer will not print as shown.
        const QSize size =
                shown.dotWidth > 0
                        ? QSize(width, qMax(1, shown.picture.height() * width / shown.dotWidth))
                        : shown.picture.size();
        // The same printed picture at the same size is on the label already.
        const QString key = QStringLiteral("%1/%2x%3")
                                    .arg(shown.picture.cacheKey())
                                    .arg(size.width())
                                    .arg(size.height());
        if (label->property(PreviewPictureKey).toString() != key || label->pixmap().isNull()) {
            label->setPixmap(QPixmap::fromImage(
                    shown.picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
            label->setProperty(PreviewPictureKey, key);
        }
        label->setFrameStyle(problems.isEmpty() ? QFrame::NoFrame : QFrame::Box);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(left, y + 4, size.width(), size.height());
    } else {
        const LineStyle style = lineStyle(values.font, values.size, values.style);
        QFont font(style.fontName);
        font.setPointSize(style.pointSize);
        font.setBold(style.bold);
        font.setItalic(style.italic);
        label->setFrameStyle(QFrame::NoFrame);
        label->setProperty(PreviewPictureKey, QVariant());
        label->setFont(font);
        // Running text shows in the rows the paper breaks it into.
        label->setText(shown.rows.join(u'\n'));
        if (sizeToContent)
            label->adjustSize();
        label->setAlignment(alignmentOf(values.alignment, label->alignment()));
        // A line wider than the paper prints from the left edge and loses its end.
        if (shown.cut)
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setGeometry(left, y + 4, width, label->sizeHint().height());
    }
    label->show();
    y = label->height() + y + 4;
}

void LayoutEditor::drawPreview(int width)
{
    int y = 10;
    const bool wh2 = engine().ReplWH2(previewSecondCurrency());
    for (int number : previewLines()) {
        if (LineGroup *l = line(number); l && previewLabel(number))
            writePreviewLine(previewLabel(number), l, y, width, wh2);
    }
}

void LayoutEditor::btnPreviewClick()
{
    setResult(0);
    const int width = printableWidth();
    m_previewPaperWidth = width;
    hidePreview();
    drawPreview(width);
    int bottom = 0;
    for (QLabel *label : m_previewLabels) {
        if (!label->isHidden())
            bottom = qMax(bottom, label->geometry().bottom());
    }
    m_previewPage->resize(width + 20, bottom + 10);
}

void LayoutEditor::scbPreviewClick()
{
    TfrmPreview preview;
    preview.setPaperWidth(printableWidth());
    for (int k = 1; k <= qMin(previewLabelCount(), int(TfrmPreview::SourceCount)); ++k)
        preview.setSource(k, previewLabel(k));
    preview.exec();
}

bool LayoutEditor::eventFilter(QObject *watched, QEvent *event)
{
    const bool inPreview = watched == m_previewScroll->viewport() || watched == m_previewPage
                           || m_previewLabels.contains(qobject_cast<QLabel *>(watched));
    if (inPreview && event->type() == QEvent::MouseButtonDblClick) {
        guard(QStringLiteral("scbPreviewClick"), [this] { scbPreviewClick(); });
        return true;
    }
    if (inPreview && event->type() == QEvent::ContextMenu) {
        m_popupMenu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    return TOVOForm::eventFilter(watched, event);
}

void LayoutEditor::btnPlatzhalterClick()
{
    PlaceholderPicker *picker = frmKassotypHaupt().placeholderPicker();
    if (!picker)
        return;
    picker->openFor(this, [this](const QString &token) {
        guard(QStringLiteral("InsertPlatzhalter"), [this, token] { InsertPlatzhalter(token); });
    });
}

void LayoutEditor::InsertPlatzhalter(const QString &token)
{
    auto *edit = qobject_cast<QLineEdit *>(focusWidget());
    // Only the editor's own single-line text edits take a token, not a selector's edit field.
    if (!edit || !isAncestorOf(edit) || qobject_cast<QComboBox *>(edit->parentWidget()))
        return;
    const int p = edit->cursorPosition();
    const QString text = edit->text();
    edit->setText(text.left(p) + token + text.mid(p));
    edit->setCursorPosition(p + int(token.size()));
    activateWindow();
    edit->setFocus();
}

bool LayoutEditor::presetFlag() const
{
    const int type = host().program().GetRTyp();
    return !(type == 1 || type == 2 || type == 7);
}

void LayoutEditor::runPresetOperation(void (LayoutEditor::*handler)(), const QString &operation)
{
    // Deleting asks first; every operation says in the window what it did.
    const bool deleting = handler == &LayoutEditor::btnVorgabeLoeschenClick;
    if (deleting
        && host().info().ShowText(MessageKind::Question,
                                  tr("Soll das gespeicherte Layout gelöscht werden?"))
                   != Answer::Yes)
        return;
    m_presetStatus->clear();
    const bool loading = handler == &LayoutEditor::btnVorgabeLadenClick;
    const auto run = [this, handler] {
        (this->*handler)();
    };
    if (!guard(operation, [&] {
            // Loading a stored layout writes nothing; saving and deleting one are recorded.
            if (loading)
                run();
            else
                host().audit().track(auditEvent(deleting ? AuditAction::PresetDeleted
                                                         : AuditAction::PresetSaved),
                                     run);
        }))
        return;
    // Every load restores into FormStore, which holds nothing when no layout was stored.
    if (deleting)
        m_presetStatus->setText(tr("Das gespeicherte Layout wurde gelöscht."));
    else if (handler == &LayoutEditor::btnVorgabeSpeichernClick)
        m_presetStatus->setText(tr("Das Layout wurde gespeichert."));
    else if (FormStore.LayOutListe.isEmpty())
        m_presetStatus->setText(tr("Es ist kein Layout gespeichert."));
    else
        m_presetStatus->setText(tr("Das gespeicherte Layout wurde geladen."));
}

AuditEvent LayoutEditor::auditEvent(AuditAction action) const
{
    AuditEvent event;
    event.action = action;
    event.workstation = RNr();
    event.section = auditedSection(m_kennung);
    if (action == AuditAction::PresetSaved || action == AuditAction::PresetDeleted)
        event.detail = QStringLiteral("Maske %1").arg(m_maske);
    else
        event.detail = QStringLiteral("Drucker %1").arg(engine().Kasso_Typ_Get_LayoutPrinterKey());
    return event;
}

std::optional<AuditEvent> LayoutEditor::auditedSave() const
{
    return auditEvent(AuditAction::SectionSaved);
}

void LayoutEditor::btnVorgabeSpeichernClick()
{
    FormStore.SetMaske(m_maske);
    FormStore.LayOutListe.clear();
    Einstellungen_MaskeLesen(FormStore.LayOutListe);
    FormStore.store(QString::number(RNr()), presetFlag());
}

void LayoutEditor::btnVorgabeLadenClick()
{
    FormStore.LayOutListe.clear();
    FormStore.SetMaske(m_maske);
    FormStore.restore(QString::number(RNr()), presetFlag());
    Einstellungen_MaskeSchreiben(FormStore.LayOutListe);
    btnPreviewClick();
}

void LayoutEditor::btnVorgabeLoeschenClick()
{
    FormStore.SetMaske(m_maske);
    FormStore.remove(QString::number(RNr()), presetFlag());
}

namespace {

// What the receipts that print the section lack of what the country asks; nothing when the
// check itself fails, which must neither stop a save nor hide that it went through.
std::optional<QList<FiscalFinding>> fiscalFindings(Host &host, const QString &kennung)
{
    try {
        return checkFiscalRules(host, installationCountry(host.parameters()), kennung);
    } catch (const std::exception &e) {
        host.info().log(QStringLiteral("Belegprüfung beim Speichern nicht möglich: %1")
                                .arg(QString::fromLocal8Bit(e.what())));
    }
    return std::nullopt;
}

} // namespace

void LayoutEditor::btnBuchenClick()
{
    if (!m_btnBuchen->isEnabled())
        return;
    // A failed save keeps the window open with what the user typed; the guard of the
    // caller shows the failure. Only a save that went through closes the window.
    const std::optional<QList<FiscalFinding>> before = fiscalFindings(host(), m_kennung);
    Einstellungen_Speichern();
    if (const auto after = fiscalFindings(host(), m_kennung); before && after)
        warnOfFiscalGaps(*before, *after, installationCountry(host().parameters()));
    accept();
}

void LayoutEditor::cmbBelegFallChange()
{
    // The engine's document is the one every preview and test print shows.
    applySampleCase(engine().document(), SampleCase(m_case->currentData().toInt()));
    btnPreviewClick();
}

void LayoutEditor::warnOfFiscalGaps(const QList<FiscalFinding> &before,
                                    const QList<FiscalFinding> &after, Country country)
{
    QStringList gaps;
    for (const FiscalFinding &f : after) {
        const bool known =
                std::any_of(before.cbegin(), before.cend(), [&f](const FiscalFinding &b) {
                    return b.workstation == f.workstation && b.documentType == f.documentType
                           && b.missing == f.missing;
                });
        if (!known)
            gaps << tr("%1, %2: %3").arg(f.workstationName, CBelegName(f.documentType), f.missing);
    }
    if (gaps.isEmpty())
        return;
    host().info().ShowText(
            MessageKind::Warning,
            tr("Das Layout ist gespeichert. Seitdem fehlt auf diesen Belegen, was in %1 auf einem "
               "Beleg stehen muss:\n\n%2\n\nDie Belegprüfung im Hauptfenster zeigt alle Lücken.")
                    .arg(countryName(country), gaps.join(u'\n')));
}

LineCountField *LayoutEditor::addLineCountField(int minimum, int maximum, const QString &toolTip)
{
    // Label and field in a panel of their own, so that a window can hide both.
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlAnzahlZeilen"));
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(tr("Anzahl Zeilen:"), panel);
    auto *field = new LineCountField(minimum, maximum, panel);
    field->setToolTip(toolTip);
    label->setBuddy(field);
    row->addWidget(label);
    row->addWidget(field);
    row->addStretch();
    lineLayout()->insertWidget(0, panel);
    return field;
}

void LayoutEditor::settleInput()
{
    if (!m_countFields) {
        m_countFields.emplace();
        for (LineCountField *field : findChildren<LineCountField *>())
            m_countFields->append(field);
    }
    for (LineCountField *field : std::as_const(*m_countFields)) {
        if (field)
            field->settle();
    }
}

QList<LayoutEditor::HintRow> LayoutEditor::addHintPanel(const QString &title,
                                                        const QList<PlaceholderHint> &hints,
                                                        int columnPairs)
{
    auto *box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("pnlPlatzhalterHinweise"));
    auto *grid = new QGridLayout(box);
    grid->setVerticalSpacing(1);
    QLabel *heading = boldLabel(title, box);
    heading->setObjectName(QStringLiteral("lblTxt1"));
    grid->addWidget(heading, 0, 0, 1, 2 * columnPairs);
    const int rows = qMax(1, int(hints.size() + columnPairs - 1) / columnPairs);
    QList<HintRow> rowsMade;
    for (int i = 0; i < hints.size(); ++i) {
        HintRow row{new QLabel(hints.at(i).token, box), new QLabel(hints.at(i).description, box)};
        row.token->setObjectName(QStringLiteral("lblPH%1").arg(i + 1));
        row.token->setTextInteractionFlags(Qt::TextSelectableByMouse);
        row.description->setObjectName(QStringLiteral("lblTxtPH%1").arg(i + 1));
        const int column = 2 * (i / rows);
        grid->addWidget(row.token, 1 + i % rows, column);
        grid->addWidget(row.description, 1 + i % rows, column + 1);
        rowsMade << row;
    }
    for (int pair = 0; pair < columnPairs; ++pair)
        grid->setColumnStretch(2 * pair + 1, 1);
    sideLayout()->insertWidget(1, box);
    return rowsMade;
}

const SectionInfo &sectionEditedBy(const QMetaObject &window)
{
    const SectionInfo *section = SectionRegistry::editor(QString::fromLatin1(window.className()));
    if (!section)
        throw std::logic_error(std::string("no section is edited by ") + window.className());
    return *section;
}
