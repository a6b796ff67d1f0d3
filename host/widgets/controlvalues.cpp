#include "widgets/controlvalues.h"

#include "core/format/layoutformat.h"
#include "widgets/radiogroup.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

#include <stdexcept>

namespace ControlValues {
namespace {

// Finding a control by name walks the whole window, and an editor with a thousand controls
// reads and writes a few hundred of them by name in a row. So each window keeps an index of its
// named controls; it is built again when a name is missing or no longer fits (a control added,
// renamed or deleted since).
class ControlIndex : public QObject
{
public:
    // The index of a window, made on first use; it is a child of the window and goes with it.
    static ControlIndex &of(const QWidget *root)
    {
        ControlIndex *&index = s_indexes[root];
        if (!index)
            index = new ControlIndex(const_cast<QWidget *>(root));
        return *index;
    }

    ~ControlIndex() override { s_indexes.remove(m_root); }

    QWidget *lookup(const QString &name)
    {
        if (QWidget *w = m_widgets.value(name); w && w->objectName() == name)
            return w;
        // findChild finds the first control of a name in this order; the index keeps the first.
        m_widgets.clear();
        for (QWidget *w : m_root->findChildren<QWidget *>()) {
            if (!w->objectName().isEmpty() && !m_widgets.contains(w->objectName()))
                m_widgets.insert(w->objectName(), w);
        }
        return m_widgets.value(name);
    }

private:
    explicit ControlIndex(QWidget *root)
        : QObject(root)
        , m_root(root)
    {
    }

    static inline QHash<const QWidget *, ControlIndex *> s_indexes;
    const QWidget *m_root;
    QHash<QString, QPointer<QWidget>> m_widgets;
};

QWidget *findControl(const QWidget *root, const QString &name)
{
    return ControlIndex::of(root).lookup(name);
}

QWidget *find(const QWidget *root, const QString &name)
{
    QWidget *w = findControl(root, name);
    if (!w)
        throw std::invalid_argument(QStringLiteral("Das Feld %1 gibt es in diesem Fenster nicht.")
                                            .arg(name)
                                            .toStdString());
    return w;
}

[[noreturn]] void unknownKind(const QString &name)
{
    throw std::invalid_argument(
            QStringLiteral("Das Feld %1 kann keinen Wert aufnehmen.").arg(name).toStdString());
}

} // namespace

void setComboText(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(-1);
    if (combo->isEditable())
        combo->setEditText(text);
    const int i = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i >= 0)
        combo->setCurrentIndex(i);
}

QString read(const QWidget *root, const QString &objectName)
{
    QWidget *w = find(root, objectName);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *c = qobject_cast<QComboBox *>(w))
        return c->currentText();
    if (auto *b = qobject_cast<QCheckBox *>(w))
        return b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto *r = qobject_cast<TRadioGroup *>(w))
        return QString::number(r->itemIndex());
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    if (auto *p = qobject_cast<QPlainTextEdit *>(w))
        return p->toPlainText();
    unknownKind(objectName);
}

void write(QWidget *root, const QString &objectName, const QString &value)
{
    QWidget *w = find(root, objectName);
    if (auto *e = qobject_cast<QLineEdit *>(w)) {
        e->setText(value);
    } else if (auto *c = qobject_cast<QComboBox *>(w)) {
        setComboText(c, value);
    } else if (auto *b = qobject_cast<QCheckBox *>(w)) {
        b->setChecked(value == QLatin1String("1"));
    } else if (auto *r = qobject_cast<TRadioGroup *>(w)) {
        bool ok = false;
        const int index = value.trimmed().toInt(&ok);
        r->setItemIndex(ok ? index : -1);
    } else if (auto *l = qobject_cast<QLabel *>(w)) {
        l->setText(value);
    } else if (auto *p = qobject_cast<QPlainTextEdit *>(w)) {
        p->setPlainText(value);
    } else {
        unknownKind(objectName);
    }
}

int readIndex(const QWidget *root, const QString &objectName)
{
    QWidget *w = find(root, objectName);
    if (auto *c = qobject_cast<QComboBox *>(w))
        return c->currentIndex();
    if (auto *r = qobject_cast<TRadioGroup *>(w))
        return r->itemIndex();
    unknownKind(objectName);
}

void writeIndex(QWidget *root, const QString &objectName, int index)
{
    QWidget *w = find(root, objectName);
    if (auto *c = qobject_cast<QComboBox *>(w))
        c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
    else if (auto *r = qobject_cast<TRadioGroup *>(w))
        r->setItemIndex(index);
    else
        unknownKind(objectName);
}

void writeFields(QWidget *root, const QList<FormatField> &fields, const FieldValues &values)
{
    for (const FormatField &field : fields) {
        const auto value = values.constFind(field.control);
        if (value == values.cend())
            continue;
        switch (field.encoding) {
        case FieldEncoding::ItemIndex:
        case FieldEncoding::LogoPosition:
            writeIndex(root, field.control, value->toInt());
            break;
        case FieldEncoding::FlagPair:
            write(root, field.control, *value);
            write(root, field.secondControl, values.value(field.secondControl));
            break;
        default:
            write(root, field.control, *value);
            break;
        }
    }
}

FieldValues readFields(const QWidget *root, const QList<FormatField> &fields)
{
    FieldValues values;
    for (const FormatField &field : fields) {
        switch (field.encoding) {
        case FieldEncoding::ItemIndex:
        case FieldEncoding::LogoPosition:
            values.insert(field.control, QString::number(readIndex(root, field.control)));
            break;
        case FieldEncoding::FlagPair:
            values.insert(field.control, read(root, field.control));
            values.insert(field.secondControl, read(root, field.secondControl));
            break;
        default:
            values.insert(field.control, read(root, field.control));
            break;
        }
    }
    return values;
}

void writeList(QWidget *root, const QList<FormatField> &fields, const QStringList &list)
{
    FieldValues values;
    const qsizetype n = qMin(fields.size(), list.size());
    for (qsizetype p = 0; p < n; ++p)
        LayoutFormat::decodeField(fields.at(p), list.at(p), values);
    writeFields(root, fields.mid(0, n), values);
}

QStringList readList(const QWidget *root, const QList<FormatField> &fields)
{
    const FieldValues values = readFields(root, fields);
    QStringList list;
    list.reserve(fields.size());
    for (const FormatField &field : fields)
        list << LayoutFormat::encodeField(field, values);
    return list;
}

void applyAll(QWidget *root, const QMap<QString, QString> &values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (findControl(root, it.key()))
            write(root, it.key(), it.value());
    }
}

void applyProperties(QWidget *root, const QMap<QString, QString> &assignments)
{
    for (auto it = assignments.cbegin(); it != assignments.cend(); ++it) {
        const qsizetype dot = it.key().lastIndexOf(u'.');
        if (dot <= 0)
            continue;
        const QString name = it.key().left(dot);
        const QString property = it.key().mid(dot + 1);
        QWidget *w = name == root->objectName() ? root : findControl(root, name);
        if (!w)
            continue;
        const QString &value = it.value();
        if (property == QLatin1String("Caption")) {
            if (w == root)
                w->setWindowTitle(value);
            else if (auto *l = qobject_cast<QLabel *>(w))
                l->setText(value);
            else if (auto *b = qobject_cast<QAbstractButton *>(w))
                b->setText(value);
            else if (auto *g = qobject_cast<QGroupBox *>(w))
                g->setTitle(value);
        } else if (property == QLatin1String("Visible")) {
            const bool visible = value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0
                                 || value == QLatin1String("1");
            w->setVisible(visible);
        } else if (property == QLatin1String("Hint")) {
            w->setToolTip(value);
        }
    }
}

} // namespace ControlValues
