#include "editorregistry.h"

#include "tovoform.h"

void EditorRegistry::registerEditor(const QString &className, Factory factory)
{
    m_editors.insert(className, std::move(factory));
}

void registerBuiltInEditors(EditorRegistry &)
{
    // The section editors with windows of their own join here as they are built.
}
