#include "widgets/fieldlabels.h"

#include "widgets/radiogroup.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>

namespace {

// A caption as a label shows it, without its shortcut marker and trailing colon.
QString plainCaption(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    text = text.trimmed();
    while (text.endsWith(u':'))
        text.chop(1);
    return text.trimmed();
}

QString labelBeside(const QWidget *window, const QWidget *control)
{
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        if (label->buddy() == control)
            return plainCaption(label->text());
    }
    return {};
}

QString ownCaption(const QWidget *window, const QWidget *control)
{
    if (const auto *group = qobject_cast<const QGroupBox *>(control))
        return plainCaption(group->title());
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return plainCaption(button->text());
    if (!control->accessibleName().isEmpty())
        return plainCaption(control->accessibleName());
    if (const QString beside = labelBeside(window, control); !beside.isEmpty())
        return beside;
    return plainCaption(control->toolTip());
}

// The text line a control belongs to, by the group box that holds the line's controls.
QString lineOf(const QWidget *control)
{
    static const QRegularExpression lineBox(QStringLiteral("^OVOStdGroupBox(\\d+)$"));
    for (const QWidget *w = control->parentWidget(); w; w = w->parentWidget()) {
        const QRegularExpressionMatch match = lineBox.match(w->objectName());
        if (match.hasMatch())
            return standardFieldLabel(lineFieldNames(match.captured(1).toInt()).text).caption;
    }
    return {};
}

QStringList itemsOf(const QWidget *control)
{
    if (const auto *radio = qobject_cast<const TRadioGroup *>(control))
        return radio->items();
    QStringList items;
    if (const auto *combo = qobject_cast<const QComboBox *>(control)) {
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    }
    return items;
}

} // namespace

FieldLabeller windowFieldLabels(const QWidget *window)
{
    const QPointer<const QWidget> guarded(window);
    return [guarded](const QString &control) {
        FieldLabel label = standardFieldLabel(control);
        const QWidget *widget = guarded ? guarded->findChild<QWidget *>(control) : nullptr;
        if (!widget)
            return label;
        if (label.items.isEmpty())
            label.items = itemsOf(widget);
        if (label.caption.isEmpty()) {
            label.caption = ownCaption(guarded, widget);
            if (const QString line = lineOf(widget); !line.isEmpty())
                label.caption = label.caption.isEmpty()
                                        ? line
                                        : line + QStringLiteral(", ") + label.caption;
        }
        return label;
    };
}
