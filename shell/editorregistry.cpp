#include "editorregistry.h"

#include "LayBonpos.h"
#include "LayBonsumme.h"
#include "tovoform.h"

void EditorRegistry::registerEditor(const QString &className, Factory factory)
{
    m_editors.insert(className, std::move(factory));
}

void registerBuiltInEditors(EditorRegistry &registry)
{
    registry.registerEditor(QStringLiteral("TfrmLayBonPos"),
                            [](QWidget *owner) { return std::make_unique<TfrmLayBonPos>(owner); });
    registry.registerEditor(QStringLiteral("TfrmLayBonSum"),
                            [](QWidget *owner) { return std::make_unique<TfrmLayBonSum>(owner); });
}
