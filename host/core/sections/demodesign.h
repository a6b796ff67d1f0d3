#pragma once

#include <QList>
#include <QString>

#include <initializer_list>
#include <utility>

// The vocabulary in which the demo shop's designs are written beside each section: lines of
// a few looks, numbered in the order they print, and the further controls a design sets.
namespace Demo {

// How a line looks. Each look has a font on either demo printer, and the number of characters
// a line of it holds on 80 mm paper: the right tab of a line is set at that column.
enum class Look : quint8 { Name, Title, Text, Bold, Small, Table, TableBold, Total };

// In the texts "#{R}#" is the right tab at the end of the line, "{LINIE}" a dashed line as
// wide as the paper and "{TYP}" the name of the document type the section belongs to.
struct Line
{
    int number;
    Look look;
    char16_t align; // 'l', 'm', 'r'
    const char16_t *text;
};

using Values = QList<std::pair<QString, QString>>;

struct Design
{
    Design() = default;
    Design(QList<Line> lines, Values values = {}, bool logo = false)
        : lines(std::move(lines))
        , values(std::move(values))
        , logo(logo)
    {
    }

    QList<Line> lines;
    Values values;
    // A header that prints the shop's logo (the documents a customer takes home).
    bool logo = false;
};

// The document's name as a title, then the given lines, numbered in their order.
QList<Line> titled(std::initializer_list<Line> more);
// Lines numbered in their order.
QList<Line> numbered(std::initializer_list<Line> lines);

constexpr Line text(const char16_t *t)
{
    return {0, Look::Text, u'l', t};
}
constexpr Line centred(const char16_t *t)
{
    return {0, Look::Text, u'm', t};
}
constexpr Line table(const char16_t *t)
{
    return {0, Look::Table, u'l', t};
}
constexpr Line bold(const char16_t *t)
{
    return {0, Look::TableBold, u'l', t};
}
constexpr Line Rule{0, Look::Table, u'l', u"{LINIE}"};
constexpr Line Blank{0, Look::Text, u'l', u""};
constexpr Line Dated{0, Look::Text, u'm', u"#Datum#  #Uhrzeit#"};
constexpr Line Receipt{0, Look::Text, u'm', u"Bon #Bonnummer#  #Datum#  #Uhrzeit#"};
constexpr Line Payment{0, Look::Table, u'l', u"#ZM##{R}##BetragWH1# #PositionWH#"};

// A control switched on.
std::pair<QString, QString> on(const QString &control);

// Headers: customer documents carry the logo and the shop's full address and tax numbers; the
// internal ones (lists, reports, transfers) name the branch only.
Design shopHeader();
Design branchHeader();

// Lines several sections share.
QList<Line> returnSignature();        // a return signed by a regular customer
QList<Line> unknownReturnSignature(); // ... by a customer the shop does not know
QList<Line> orderItem();              // the items of task lists, goods notes and branch transfers
QList<Line> receiptItem();            // the article as the receipt prints it
QList<Line> invoiceItem();            // ... and as the invoice prints it
Values reductionReasons();            // line 6 prints once per reduction reason
Values receiptEndValues();
// The fiscal block at the end of a receipt handed to a customer in Germany: the copy and
// training marks, the failure line, the security device's data as text and its QR code, which
// alone carries the signature. Lines that hold only empty marks are left out in print. Numbered
// from `first` on.
QList<Line> fiscalBlock(int first);
// The lines followed by the fiscal block, numbered on from the last line.
QList<Line> withFiscalBlock(QList<Line> lines);
// A card payment receipt's text: plain lines.
Design cardText(std::initializer_list<const char16_t *> lines);

} // namespace Demo
