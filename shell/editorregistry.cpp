#include "shell/editorregistry.h"

#include "editors/LayBonStornoEnde.h"
#include "editors/LayBonende.h"
#include "editors/LayBonkopf.h"
#include "editors/LayBonpos.h"
#include "editors/LayBonsumme.h"
#include "editors/LayKassenbericht.h"
#include "editors/LayNullbonEnde.h"
#include "editors/LayRechEnde.h"
#include "editors/LayRechPos.h"
#include "editors/LayRechSumme.h"
#include "editors/LayReklPos.h"
#include "editors/LayReklReg.h"
#include "widgets/tovoform.h"

void EditorRegistry::registerEditor(const QString &className, Factory factory)
{
    m_editors.insert(className, std::move(factory));
}

namespace {

// An editor window registers under its class name, which the section registry names as the
// window of its section.
template<typename Editor>
void add(EditorRegistry &registry)
{
    registry.registerEditor(QString::fromLatin1(Editor::staticMetaObject.className()),
                            [](QWidget *owner) -> std::unique_ptr<TOVOForm> {
                                return std::make_unique<Editor>(owner);
                            });
}

} // namespace

void registerBuiltInEditors(EditorRegistry &registry)
{
    registry.registerHeaderEditor([](QWidget *owner, int type) {
        auto editor = std::make_unique<TfrmLayBonkopf>(owner);
        editor->setDocumentType(type);
        return std::unique_ptr<TOVOForm>(std::move(editor));
    });
    add<TfrmLayBonende>(registry);
    add<TfrmLayBonStornoEnde>(registry);
    add<TfrmLayNullbonEnde>(registry);
    add<TfrmLayKassenbericht>(registry);
    add<TfrmLayRechEnde>(registry);
    add<TfrmLayRechPos>(registry);
    add<TfrmLayRechSum>(registry);
    add<TfrmLayReklPos>(registry);
    add<TfrmLayReklReg>(registry);
    add<TfrmLayBonPos>(registry);
    add<TfrmLayBonSum>(registry);
}
