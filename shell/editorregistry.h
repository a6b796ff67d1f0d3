#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TOVOForm;
class QWidget;

// The editor windows the section menus open, by the class names of the dispatch table.
// The header editor takes the document type, the card editor a section and its caption.
class EditorRegistry
{
public:
    using Factory = std::function<std::unique_ptr<TOVOForm>(QWidget *owner)>;
    using HeaderFactory = std::function<std::unique_ptr<TOVOForm>(QWidget *owner, int type)>;

    void registerEditor(const QString &className, Factory factory);
    void registerHeaderEditor(HeaderFactory factory) { m_header = std::move(factory); }

    // Null when no editor of that name is built into this program.
    Factory editor(const QString &className) const { return m_editors.value(className); }
    HeaderFactory headerEditor() const { return m_header; }
    QStringList classNames() const { return m_editors.keys(); }

private:
    QHash<QString, Factory> m_editors;
    HeaderFactory m_header;
};

// Registers every editor window this program has.
void registerBuiltInEditors(EditorRegistry &registry);
